#include "FakeSerialDevice.h"
#include "LinkRig.h"
#include "link/SerialPort.h"

#include <QtTest>

using namespace vexa;
using namespace vexa::test;

class TestSerialPort : public QObject {
    Q_OBJECT

    using Rig = LinkRig;

private slots:
    void readLine_data()
    {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<int>("delayMs");
        QTest::addColumn<int>("max");
        QTest::addColumn<int>("result");
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("leftUnread");

        QTest::newRow("CR LF ends, CR dropped")
            << QByteArray("AB\r\n") << 0 << 256 << 2 << QByteArray("AB") << 0;
        QTest::newRow("LF alone ends")
            << QByteArray("AB\nCD\n") << 0 << 256 << 2 << QByteArray("AB") << 3;
        QTest::newRow("CR inside the line dropped")
            << QByteArray("A\rB\r\n") << 0 << 256 << 2 << QByteArray("AB") << 0;
        QTest::newRow("empty line reads as nothing")
            << QByteArray("\r\n") << 0 << 256 << 0 << QByteArray("") << 0;
        QTest::newRow("maximum leaves the rest")
            << QByteArray("ABC") << 0 << 2 << 2 << QByteArray("AB") << 1;
        QTest::newRow("line in time")
            << QByteArray("42\r\n") << 150 << 256 << 2 << QByteArray("42") << 0;
        QTest::newRow("line too late")
            << QByteArray("42\r\n") << 260 << 256 << 0 << QByteArray("") << 4;
        QTest::newRow("unended line times out, text kept")
            << QByteArray("12") << 0 << 256 << 0 << QByteArray("12") << 0;
        QTest::newRow("silence") << QByteArray() << 0 << 256 << 0 << QByteArray("") << 0;
    }

    void readLine()
    {
        QFETCH(QByteArray, input);
        QFETCH(int, delayMs);
        QFETCH(int, max);
        QFETCH(int, result);
        Rig r;
        r.device.Queue(input, delayMs);
        char buf[300];
        std::memset(buf, 'x', sizeof buf);
        const auto start = r.clock.NowMs();
        QCOMPARE(r.port.ReadLine(buf, max, 200), result);
        QTEST(QByteArray(buf), "text");
        QTEST(r.device.Pending(), "leftUnread");
        if (result == 0 && input != "\r\n")
            QVERIFY(r.clock.NowMs() - start >= 200);
    }

    void readLineEndingAsTimeRunsOut()
    {
        // The LF arrives in the same pass in which the time-out expires:
        // a complete line is still a line.
        Rig r;
        r.device.Queue("7", 0);
        r.device.Queue("\n", 200);
        char buf[16];
        QCOMPARE(r.port.ReadLine(buf, 8, 200), 1);
        QCOMPARE(QByteArray(buf), QByteArray("7"));
    }

    void waitForText_data()
    {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<int>("delayMs");
        QTest::addColumn<QByteArray>("expected");
        QTest::addColumn<bool>("found");

        QTest::newRow("after other traffic")
            << QByteArray("Synchronized\r\n!") << 900 << QByteArray("!") << true;
        QTest::newRow("text split by noise")
            << QByteArray("xxOKyy") << 0 << QByteArray("OK") << true;
        QTest::newRow("near miss") << QByteArray("O K") << 0 << QByteArray("OK") << false;
        QTest::newRow("too late") << QByteArray("!") << 1100 << QByteArray("!") << false;
        QTest::newRow("silence") << QByteArray() << 0 << QByteArray("!") << false;
    }

    void waitForText()
    {
        QFETCH(QByteArray, input);
        QFETCH(int, delayMs);
        QFETCH(QByteArray, expected);
        QFETCH(bool, found);

        Rig r;
        r.device.Queue(input, delayMs);
        const auto start = r.clock.NowMs();
        QCOMPARE(r.port.WaitForText(expected.constData(), int(expected.size()), 1000), found);
        const auto elapsed = r.clock.NowMs() - start;
        if (found)
            QVERIFY(elapsed < 1000);
        else
            QVERIFY(elapsed >= 1000 && elapsed < 1100);
    }

    void readCount_data()
    {
        QTest::addColumn<int>("lastByteAtMs");
        QTest::addColumn<int>("result");

        QTest::newRow("all in time") << 50 << 4;
        QTest::newRow("last byte as the time-out expires") << 500 << 4;
        QTest::newRow("last byte too late") << 600 << 0;
    }

    void readCount()
    {
        QFETCH(int, lastByteAtMs);
        QFETCH(int, result);
        Rig r;
        r.device.Queue("OK\r", 0);
        r.device.Queue("\n", lastByteAtMs);
        char buf[5];
        std::memset(buf, 'x', sizeof buf);
        QCOMPARE(r.port.ReadCount(buf, 4, 500), result);
        if (result)
            QCOMPARE(QByteArray(buf), QByteArray("OK\r\n"));
    }

    void drainInputDiscardsEverythingWaiting()
    {
        Rig r;
        r.device.Queue("stray\r\nbytes");
        r.device.Queue("later", 1000);
        QCOMPARE(r.port.DrainInput(), 12);
        QCOMPARE(r.device.Pending(), 5);
        QCOMPARE(r.port.DrainInput(), 0);
    }

    void openSetsTheLine_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("line"); // baud, data bits, parity, stop bits, RTS; or as is

        QTest::newRow("mode 0: 8N1") << 0 << "9600 8 0 1 0";
        QTest::newRow("mode 1: 7E1") << 1 << QString("9600 7 %1 1 1").arg(int(Parity::Even));
        QTest::newRow("other modes keep the driver's") << 2 << "as is";
    }

    void openSetsTheLine()
    {
        QFETCH(int, mode);
        VirtualClock clock;
        FakeSerialDevice device(clock);
        SerialPort port(device, clock);
        QVERIFY(port.Open("/dev/ttyUSB0", 9600, mode));
        const auto& s = device.Settings();
        QTEST(device.ConfigureCalls() == 0 ? QString("as is")
                                           : QString("%1 %2 %3 %4 %5")
                                                 .arg(s.baud)
                                                 .arg(s.dataBits)
                                                 .arg(int(s.parity))
                                                 .arg(s.stopBits)
                                                 .arg(int(s.rtsControl)),
              "line");
        QVERIFY(device.Dtr());
        QCOMPARE(port.OpenPath(), QString("/dev/ttyUSB0"));
        QVERIFY(port.Close());
        QVERIFY(!device.Dtr() && !port.IsOpen() && port.OpenPath().isEmpty());
    }

    void openRefusals()
    {
        VirtualClock clock;
        FakeSerialDevice device(clock);
        SerialPort port(device, clock);
        device.RefuseSettings(); // a pseudo-terminal refuses some: the line is open anyway
        QVERIFY(port.Open("/dev/pts/7", 115200, 0));
        QVERIFY(port.Close());
        device.FailOpen("Permission denied");
        QVERIFY(!port.Open("/dev/ttyS0", 115200, 0));
        QVERIFY(!port.IsOpen());
        QCOMPARE(port.OpenError(), QString("Permission denied"));
    }

    void devicePath_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("style");
        QTest::addColumn<QString>("path");

        QTest::newRow("COM1 as is") << "COM1" << int(PathStyle::Windows) << "COM1";
        QTest::newRow("COM10 prefixed") << "COM10" << int(PathStyle::Windows) << "\\\\.\\COM10";
        QTest::newRow("three letters prefixed") << "COM" << int(PathStyle::Windows) << "\\\\.\\COM";
        QTest::newRow("bare name under /dev")
            << "ttyUSB0" << int(PathStyle::Posix) << "/dev/ttyUSB0";
        QTest::newRow("absolute path unchanged")
            << "/run/user/1000/vexa-ports/sim" << int(PathStyle::Posix)
            << "/run/user/1000/vexa-ports/sim";
    }

    void devicePath()
    {
        QFETCH(QString, name);
        QFETCH(int, style);
        QTEST(DevicePath(name, PathStyle(style)), "path");
    }
};

QTEST_GUILESS_MAIN(TestSerialPort)
#include "tst_serialport.moc"
