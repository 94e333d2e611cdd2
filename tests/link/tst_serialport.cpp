#include "FakeSerialDevice.h"
#include "LinkRig.h"
#include "link/SerialPort.h"

#include <QtTest>

using namespace vexa;
using namespace vexa::test;

class TestSerialPort : public QObject {
    Q_OBJECT

private slots:
    // Input is "what waits | what arrives after delayMs"; got is the result, the text read and
    // the bytes left unread.
    void readLine_data()
    {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<int>("delayMs");
        QTest::addColumn<int>("max");
        QTest::addColumn<QString>("got");

        QTest::newRow("CRs dropped, LF ends") << QByteArray("A\rB\r\n") << 0 << 256 << "2 AB 0";
        QTest::newRow("LF alone ends") << QByteArray("AB\nCD\n") << 0 << 256 << "2 AB 3";
        QTest::newRow("empty line reads as nothing") << QByteArray("\r\n") << 0 << 256 << "0  0";
        QTest::newRow("maximum leaves the rest") << QByteArray("ABC") << 0 << 2 << "2 AB 1";
        QTest::newRow("line too late") << QByteArray("|42\r\n") << 260 << 256 << "0  4";
        // A line that ends in the pass in which the time runs out is still a line.
        QTest::newRow("LF as time runs out") << QByteArray("7|\n") << 200 << 8 << "1 7 0";
        QTest::newRow("unended line times out") << QByteArray("12") << 0 << 256 << "0 12 0";
    }

    void readLine()
    {
        QFETCH(QByteArray, input);
        QFETCH(int, delayMs);
        QFETCH(int, max);
        LinkRig r;
        const QList<QByteArray> parts = input.split('|');
        r.device.Queue(parts[0]);
        r.device.Queue(parts.value(1), delayMs);
        char buf[300];
        std::memset(buf, 'x', sizeof buf);
        const auto start = r.clock.NowMs();
        const int result = r.port.ReadLine(buf, max, 200);
        QTEST(QString("%1 %2 %3").arg(result).arg(buf).arg(r.device.Pending()), "got");
        if (result == 0 && input != "\r\n")
            QVERIFY(r.clock.NowMs() - start >= 200);
    }

    void waitForText_data()
    {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<int>("delayMs");
        QTest::addColumn<bool>("found");

        QTest::newRow("after other traffic") << QByteArray("Synchronized\r\nOK") << 900 << true;
        QTest::newRow("text among noise") << QByteArray("xxOKyy") << 0 << true;
        QTest::newRow("near miss") << QByteArray("O K") << 0 << false;
        QTest::newRow("too late") << QByteArray("OK") << 1100 << false;
    }

    void waitForText()
    {
        QFETCH(QByteArray, input);
        QFETCH(int, delayMs);
        QFETCH(bool, found);
        LinkRig r;
        r.device.Queue(input, delayMs);
        const auto start = r.clock.NowMs();
        QCOMPARE(r.port.WaitForText("OK", 2, 1000), found);
        const auto elapsed = r.clock.NowMs() - start;
        QVERIFY(found ? elapsed < 1000 : elapsed >= 1000 && elapsed < 1100);
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
        LinkRig r;
        r.device.Queue("OK\r", 0);
        r.device.Queue("\n", lastByteAtMs);
        char buf[5];
        QCOMPARE(r.port.ReadCount(buf, 4, 500), result);
        QCOMPARE(QByteArray(buf), QByteArray("OK\r\n").left(result ? 4 : 3));
    }

    void openSetsTheLine_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QList<int>>("line"); // baud, data bits, parity, stop bits, RTS
        QTest::newRow("mode 0: 8N1") << 0 << QList<int>{9600, 8, int(Parity::None), 1, 0};
        QTest::newRow("mode 1: 7E1") << 1 << QList<int>{9600, 7, int(Parity::Even), 1, 1};
        QTest::newRow("other modes keep the driver's") << 2 << QList<int>{};
    }

    void openSetsTheLine()
    {
        QFETCH(int, mode);
        VirtualClock clock;
        FakeSerialDevice device(clock);
        SerialPort port(device, clock);
        QVERIFY(port.Open("/dev/ttyUSB0", 9600, mode));
        const auto& s = device.Settings();
        const QList<int> line{int(s.baud), s.dataBits, int(s.parity), s.stopBits,
                              int(s.rtsControl)};
        QTEST(device.ConfigureCalls() == 0 ? QList<int>() : line, "line");
        QVERIFY(device.Dtr());
        QVERIFY(port.Close());
        QVERIFY(!device.Dtr() && !port.IsOpen() && port.OpenPath().isEmpty());
        // A pseudo-terminal refuses some settings: the line is open anyway.
        device.RefuseSettings();
        QVERIFY(port.Open("/dev/pts/7", 115200, mode));
    }

    void devicePath()
    {
        QCOMPARE(DevicePath("COM1", PathStyle::Windows), QString("COM1"));
        QCOMPARE(DevicePath("COM10", PathStyle::Windows), QString("\\\\.\\COM10"));
        QCOMPARE(DevicePath("COM", PathStyle::Windows), QString("\\\\.\\COM"));
        QCOMPARE(DevicePath("ttyUSB0", PathStyle::Posix), QString("/dev/ttyUSB0"));
    }
};

QTEST_GUILESS_MAIN(TestSerialPort)
#include "tst_serialport.moc"
