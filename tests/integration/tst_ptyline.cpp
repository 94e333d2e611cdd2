// The real serial stack (QSerialPort) against a pseudo-terminal that plays the module.
#include "link/SerialPort.h"
#include "platform/Clock.h"
#include "platform/PseudoTerminal.h"
#include "platform/QtSerialDevice.h"

#include <QtTest>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

using namespace vexa;

namespace {

QByteArray ReadPty(PseudoTerminal& pty, int n)
{
    QByteArray got(n, 0);
    int have = 0;
    for (int tries = 0; tries < 50 && have < n; ++tries)
        have += pty.Read(got.data() + have, n - have, 20);
    return got.left(have);
}

} // namespace

class TestPtyLine : public QObject {
    Q_OBJECT

private slots:
    void exchangeAndHoldARealLine()
    {
        PseudoTerminal pty;
        QVERIFY(pty.Open());
        SteadyClock clock;
        QtSerialDevice device;
        SerialPort port(device, clock);
        QVERIFY2(port.Open(pty.DevicePath(), 115200, 0), qPrintable(port.OpenError()));

        // Bytes cross unchanged both ways: CR stays CR, nothing is echoed.
        QCOMPARE(port.Write("SI\r", 3), 3);
        QCOMPARE(ReadPty(pty, 3), QByteArray("SI\r"));
        QCOMPARE(pty.Write("SI\r\n250\r\n", 9), 9);
        char line[16];
        QCOMPARE(port.ReadLine(line, 16, 1000), 2);
        QCOMPARE(port.ReadLine(line, 16, 1000), 3);
        QCOMPARE(QByteArray(line), QByteArray("250"));
        QCOMPARE(port.DrainInput(), 0);

        // The line is this port's until it lets go.
        QtSerialDevice otherDevice;
        SerialPort other(otherDevice, clock);
        QVERIFY(!other.Open(pty.DevicePath(), 115200, 0));
        QVERIFY(!other.OpenError().isEmpty());
        QVERIFY(port.Close());
        QVERIFY(!port.IsOpen());
        QVERIFY(other.Open(pty.DevicePath(), 115200, 0));
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
