// The real serial stack (QSerialPort) against a pseudo-terminal that plays the module.
#include "link/ModuleLink.h"
#include "link/SerialPort.h"
#include "platform/Clock.h"
#include "platform/PseudoTerminal.h"
#include "platform/QtSerialDevice.h"

#include <QtTest>
#include <atomic>
#include <fcntl.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

using namespace vexa;

namespace {

// Answers "SI" CR with an acknowledgement and a value, from its own thread.
class FakeModule {
public:
    explicit FakeModule(PseudoTerminal& pty) : pty_(pty), thread_([this] { Run(); }) {}
    ~FakeModule()
    {
        stop_ = true;
        thread_.join();
    }

private:
    void Run()
    {
        QByteArray line;
        char buf[64];
        while (!stop_) {
            const int n = pty_.Read(buf, sizeof buf, 20);
            for (int i = 0; i < n; ++i) {
                line += buf[i];
                if (buf[i] == '\r') {
                    if (line == "SI\r")
                        pty_.Write("SI\r\n250\r\n", 9);
                    line.clear();
                }
            }
        }
    }

    PseudoTerminal& pty_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

} // namespace

class TestPtyLine : public QObject {
    Q_OBJECT

private slots:
    void exchangeOverARealLine()
    {
        PseudoTerminal pty;
        QVERIFY(pty.Open());
        SteadyClock clock;
        QtSerialDevice device;
        SerialPort port(device, clock);
        QVERIFY2(port.Open(pty.DevicePath(), 115200, 0), qPrintable(port.OpenError()));

        {
            FakeModule module(pty);
            ModuleLink link(port);
            QCOMPARE(link.GetValue("SI"), 250);
        }

        // Bytes cross unchanged: CR stays CR, nothing is echoed.
        const char out[] = "ES=-1\r";
        QCOMPARE(port.Write(out, 6), 6);
        char got[16] = {};
        int n = 0;
        for (int tries = 0; tries < 50 && n < 6; ++tries)
            n += pty.Read(got + n, 6 - n, 20);
        QCOMPARE(QByteArray(got, n), QByteArray(out));
        QCOMPARE(port.DrainInput(), 0);

        QVERIFY(port.Close());
        QVERIFY(!port.IsOpen());
    }

    void secondOpenIsRefusedUntilClosed()
    {
        PseudoTerminal pty;
        QVERIFY(pty.Open());
        SteadyClock clock;
        QtSerialDevice first, second;
        SerialPort a(first, clock), b(second, clock);
        QVERIFY(a.Open(pty.DevicePath(), 115200, 0));
        QVERIFY(!b.Open(pty.DevicePath(), 115200, 0));
        QVERIFY(!b.OpenError().isEmpty());
        a.Close();
        QVERIFY(b.Open(pty.DevicePath(), 115200, 0));
        b.Close();
    }

    // What Open asks of the line, as the terminal driver holds it. A
    // pseudo-terminal keeps speed and stop bits; it forces 8 bits, no parity.
    void openConfiguresTheLine_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("baud");
        QTest::addColumn<uint>("speed");
        QTest::newRow("mode 0") << 0 << 9600 << uint(B9600);
        QTest::newRow("mode 1") << 1 << 2400 << uint(B2400);
    }
    void openConfiguresTheLine()
    {
        QFETCH(int, mode);
        QFETCH(int, baud);
        QFETCH(uint, speed);
        PseudoTerminal pty;
        QVERIFY(pty.Open());
        // Opened before the port takes the line for itself.
        const int fd = ::open(pty.DevicePath().toLocal8Bit().constData(), O_RDWR | O_NOCTTY);
        QVERIFY(fd >= 0);
        SteadyClock clock;
        QtSerialDevice device;
        SerialPort port(device, clock);
        QVERIFY(port.Open(pty.DevicePath(), std::uint32_t(baud), mode));
        termios t{};
        QCOMPARE(tcgetattr(fd, &t), 0);
        ::close(fd);
        QVERIFY(!(t.c_cflag & CSTOPB)); // one stop bit
        QCOMPARE(uint(cfgetospeed(&t)), speed);
    }
};

QTEST_GUILESS_MAIN(TestPtyLine)
#include "tst_ptyline.moc"
