#include "SerialPort.h"

#include <QtGlobal>
#include <cstdarg>
#include <cstdio>
#include <vector>

namespace vexa {

std::uint32_t BaudRateAt(int speedIndex)
{
    if (speedIndex < 0 || speedIndex >= static_cast<int>(BaudRates.size()))
        return BaudRates[DefaultSpeedIndex];
    return BaudRates[static_cast<std::size_t>(speedIndex)];
}

QString DevicePath(const QString& portName, PathStyle style)
{
    if (style == PathStyle::Windows)
        return portName.size() == 4 ? portName : QStringLiteral("\\\\.\\") + portName;
    if (portName.startsWith(QLatin1Char('/')))
        return portName;
    return QStringLiteral("/dev/") + portName;
}

void Trace(const char* format, ...)
{
#if defined(VEXA_TRACE_LOG)
    char text[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    qDebug("serial: %s", text);
#else
    (void)format;
#endif
}

bool SerialPort::Open(const QString& path, std::uint32_t baud, LineMode mode)
{
    const QByteArray name = path.toLocal8Bit();
    Trace("Opening %s", name.constData());
    if (!device_.Open(path))
        return false;
    Trace("%s Opened.", name.constData());
    openPath_ = path;

    if (mode != LineMode::AsDriverHas) {
        const bool eight = mode == LineMode::EightNoneOne;
        LineSettings s;
        s.baud = baud;
        s.dataBits = eight ? 8 : 7;
        s.parity = eight ? Parity::None : Parity::Even;
        s.stopBits = 1;
        s.dtrControl = !eight;
        s.rtsControl = !eight;
        device_.Configure(s); // a driver that refuses keeps its own settings
    }
    device_.SetTimeouts(ReadMsPerByte, WriteMsPerByte);
    device_.SetDtr(true); // fails on pseudo-terminals; harmless
    return true;
}

bool SerialPort::Close()
{
    device_.SetDtr(false);
    const bool closed = device_.Close();
    Trace("Comm port closed");
    openPath_.clear();
    return closed;
}

int SerialPort::Write(const char* buf, int n)
{
    return n > 0 ? device_.Write(buf, n) : 0;
}

int SerialPort::Read(char* buf, int n)
{
    return n > 0 ? device_.Read(buf, n) : 0;
}

int SerialPort::DrainInput()
{
    int discarded = 0;
    char c;
    while ((quickDrain_ ? device_.ReadWaiting(&c, 1) : device_.Read(&c, 1)) == 1)
        ++discarded;
    return discarded;
}

bool SerialPort::WaitForText(const char* expected, int n, int timeoutMs)
{
    if (n <= 0)
        return false;
    const std::int64_t start = clock_.NowMs();
    std::vector<char> window;
    window.reserve(static_cast<std::size_t>(n) + 1);
    for (;;) {
        char c;
        if (device_.Read(&c, 1) == 1) {
            window.push_back(c);
            if (static_cast<int>(window.size()) == n) {
                if (std::equal(window.begin(), window.end(), expected))
                    return true;
                window.erase(window.begin());
            }
        } else {
            clock_.SleepMs(10);
        }
        if (clock_.NowMs() - start >= timeoutMs)
            return false;
    }
}

int SerialPort::ReadCount(char* buf, int n, int timeoutMs)
{
    if (n < 0)
        return 0;
    const std::int64_t start = clock_.NowMs();
    int count = 0;
    while (count < n && clock_.NowMs() - start < timeoutMs) {
        if (device_.Read(buf + count, 1) == 1)
            ++count;
        else
            clock_.SleepMs(0);
    }
    buf[count] = '\0';
    // All n bytes count as success even when the time-out ran out in the
    // same pass that brought the last one.
    return count == n ? n : 0;
}

int SerialPort::ReadLine(char* buf, int m, int timeoutMs)
{
    const std::int64_t start = clock_.NowMs();
    int count = 0;
    bool ended = false;
    while (!ended && count < m && clock_.NowMs() - start < timeoutMs) {
        char c;
        if (device_.Read(&c, 1) == 1) {
            if (c == '\n')
                ended = true;
            else if (c != '\r')
                buf[count++] = c;
        } else {
            clock_.SleepMs(0);
        }
    }
    buf[count] = '\0';
    // A line that ended (LF or m characters) is good even if the time-out
    // ran out while its last byte came in.
    return ended || count == m ? count : 0;
}

QString PortDisplayLine(const PortDescription& d)
{
    return d.portName + QStringLiteral("   ") + d.friendlyName + QStringLiteral("   ") +
           d.enumerator;
}

bool ProbePort(ProbeContext& context, const PortDescription& description)
{
    if (context.table.Count() >= PortTable::Capacity)
        return true;
    const QString path = DevicePath(description.portName);
    if (path != context.heldPath) {
        // A port that cannot be opened (absent, or held by another program) is not offered.
        if (!context.probe.Open(path, context.baud))
            return true;
        context.probe.Close();
    }
    context.table.names.append(description.portName);
    context.items.append(PortDisplayLine(description));
    return true;
}

} // namespace vexa
