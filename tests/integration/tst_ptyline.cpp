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

class TestPtyLine : public QObject {
    Q_OBJECT

private slots:
    void exchangeAndHoldARealLine()
    {
        PseudoTerminal pty;
        QVERIFY(pty.Open());
        // Opened before the port takes the line for itself, to see what Open asks
        // of the terminal driver. A pseudo-terminal keeps speed and stop bits only.
        const int fd = ::open(pty.DevicePath().toLocal8Bit().constData(), O_RDWR | O_NOCTTY);
        QVERIFY(fd >= 0);
        SteadyClock clock;
        QtSerialDevice device;
        SerialPort port(device, clock);
        QVERIFY2(port.Open(pty.DevicePath(), 2400), qPrintable(port.OpenError()));
        termios t{};
        QCOMPARE(tcgetattr(fd, &t), 0);
        ::close(fd);
        QVERIFY(!(t.c_cflag & CSTOPB)); // one stop bit
        QCOMPARE(uint(cfgetospeed(&t)), uint(B2400));

        // Bytes cross unchanged both ways: CR stays CR, nothing is echoed.
        QCOMPARE(port.Write("SI\r", 3), 3);
        QByteArray got(3, 0);
        for (int have = 0, tries = 0; tries < 50 && have < 3; ++tries)
            have += pty.Read(got.data() + have, 3 - have, 20);
        QCOMPARE(got, QByteArray("SI\r"));
        QCOMPARE(pty.Write("SI\r\n250\r\n", 9), 9);
        char line[16];
        QCOMPARE(port.ReadLine(line, 16, 1000), 2);
        QCOMPARE(port.ReadLine(line, 16, 1000), 3);
        QCOMPARE(QByteArray(line), QByteArray("250"));

        // The line is this port's until it lets go.
        QtSerialDevice otherDevice;
        SerialPort other(otherDevice, clock);
        QVERIFY(!other.Open(pty.DevicePath(), 115200));
        QVERIFY(port.Close());
        QVERIFY(other.Open(pty.DevicePath(), 115200));
        // Let go again, the line stays raw: what the module sends is not echoed back to it.
        QVERIFY(other.Close() && pty.Write("NS\r", 3) == 3);
        QCOMPARE(pty.Read(line, 16, 50), 0);
    }
};

QTEST_GUILESS_MAIN(TestPtyLine)
#include "tst_ptyline.moc"
