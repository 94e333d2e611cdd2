#pragma once

#include "platform/Clock.h"
#include "platform/PortDescription.h"
#include "platform/SerialDevice.h"

#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>

namespace vexa {

inline constexpr std::array<std::uint32_t, 6> BaudRates{2400, 4800, 9600, 19200, 38400, 115200};
inline constexpr int DefaultSpeedIndex = 5;

// The rate at a speed index; out-of-range indexes fall back to 115200.
std::uint32_t BaudRateAt(int speedIndex);

enum class PathStyle { Windows, Posix };
#if defined(Q_OS_WIN)
inline constexpr PathStyle NativePathStyle = PathStyle::Windows;
#else
inline constexpr PathStyle NativePathStyle = PathStyle::Posix;
#endif

// The path to open for a port name: on Windows four-character names (COM1)
// open as they are and others get the \\.\ prefix; on POSIX a bare name is
// a device under /dev and an absolute path opens unchanged.
QString DevicePath(const QString& portName, PathStyle style = NativePathStyle);

// How Open sets up the line.
enum class LineMode {
    EightNoneOne, // 8 data bits, no parity, 1 stop bit, DTR and RTS control off: the module's
    SevenEvenOne, // 7 data bits, even parity, 1 stop bit, DTR and RTS control on
    AsDriverHas,  // the driver's line settings stay as they are
};

// Diagnostic hook for the serial line; writes to the debug log only in a
// developer build.
void Trace(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

// The blocking operations on the one serial line to the module.
class SerialPort {
public:
    SerialPort(SerialDevice& device, Clock& clock) : device_(device), clock_(clock) {}

    bool Open(const QString& path, std::uint32_t baud, LineMode mode = LineMode::EightNoneOne);
    bool Close();
    bool IsOpen() const { return device_.IsOpen(); }
    // Why the last Open failed, as the system words it.
    QString OpenError() const { return device_.ErrorText(); }
    // The path of the open port; empty when closed.
    const QString& OpenPath() const { return openPath_; }

    int Write(const char* buf, int n);
    int Read(char* buf, int n);
    int DrainInput();
    bool WaitForText(const char* expected, int n, int timeoutMs);
    // n when all n bytes arrived (buf holds n+1 bytes), 0 on time-out.
    int ReadCount(char* buf, int n, int timeoutMs);
    // Characters stored in buf (which holds m+1 bytes); 0 on time-out or an
    // empty line. CR is dropped and LF ends the line.
    int ReadLine(char* buf, int m, int timeoutMs);

    Clock& clock() { return clock_; }
    // While on, DrainInput takes only the bytes already received instead of
    // waiting out a read time-out: the boot loader exchange drains before
    // every line it sends and would otherwise spend most of its time waiting.
    void SetQuickDrain(bool on) { quickDrain_ = on; }

    static constexpr int ReadMsPerByte = 20;
    static constexpr int WriteMsPerByte = 20;

private:
    SerialDevice& device_;
    Clock& clock_;
    QString openPath_;
    bool quickDrain_ = false;
};

// Port names found by discovery; position i of the port list opens entry i.
struct PortTable {
    static constexpr int Capacity = 200;
    QStringList names;
    int Count() const { return static_cast<int>(names.size()); }
};

// What ProbePort needs: a line to test-open each port on, the speed, the
// table to fill and the display lines for the port list.
struct ProbeContext {
    SerialPort& probe;
    std::uint32_t baud;
    PortTable& table;
    QStringList& items;
    // The port this program already holds open, listed without probing.
    QString heldPath;
};

// Lists a port when it can be opened; always returns true to go on.
bool ProbePort(ProbeContext& context, const PortDescription& description);

// The display line of a port: name, friendly name and enumerator, three blanks apart.
QString PortDisplayLine(const PortDescription& description);

} // namespace vexa
