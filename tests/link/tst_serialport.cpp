#include "FakeSerialDevice.h"
#include "LinkRig.h"
#include "TestData.h"
#include "link/SerialPort.h"

#include <QtTest>

using namespace vexa;
using namespace vexa::test;

class TestSerialPort : public QObject {
    Q_OBJECT

private slots:
    void readLine_data() { AddRows("link/readline.txt", ";"); }

    void readLine()
    {
        QFETCH(QStringList, f);
        const QByteArray input = f[0].toLatin1();
        LinkRig r;
        const QList<QByteArray> parts = input.split('|');
        r.device.Queue(parts[0]);
        r.device.Queue(parts.value(1), f[1].toInt());
        char buf[300];
        std::memset(buf, 'x', sizeof buf);
        const auto start = r.clock.NowMs();
        const int result = r.port.ReadLine(buf, f[2].toInt(), 200);
        QCOMPARE(QString("%1 %2 %3").arg(result).arg(buf).arg(r.device.Pending()), f[3]);
        if (result == 0 && input != "\r\n")
            QVERIFY(r.clock.NowMs() - start >= 200);
    }

    void waitForText_data() { AddRows("link/wait-for-text.txt"); }

    void waitForText()
    {
        QFETCH(QStringList, f);
        const bool found = f[2] == "1";
        LinkRig r;
        r.device.Queue(f[0].toLatin1(), f[1].toInt());
        const auto start = r.clock.NowMs();
        QCOMPARE(r.port.WaitForText("OK", 2, 1000), found);
        const auto elapsed = r.clock.NowMs() - start;
        QVERIFY(found ? elapsed < 1000 : elapsed >= 1000 && elapsed < 1100);
    }

    void readCount_data() { AddRows("link/read-count.txt"); }

    void readCount()
    {
        QFETCH(QStringList, f);
        const int result = f[1].toInt();
        LinkRig r;
        r.device.Queue("OK\r", 0);
        r.device.Queue("\n", f[0].toInt());
        char buf[5];
        QCOMPARE(r.port.ReadCount(buf, 4, 500), result);
        QCOMPARE(QByteArray(buf), QByteArray("OK\r\n").left(result ? 4 : 3));
    }

    void openSetsTheLine_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QList<int>>("line"); // baud, data bits, parity, stop bits, RTS
        QTest::newRow("8N1") << int(LineMode::EightNoneOne)
                             << QList<int>{9600, 8, int(Parity::None), 1, 0};
        QTest::newRow("7E1") << int(LineMode::SevenEvenOne)
                             << QList<int>{9600, 7, int(Parity::Even), 1, 1};
        QTest::newRow("the driver's") << int(LineMode::AsDriverHas) << QList<int>{};
    }

    void openSetsTheLine()
    {
        QFETCH(int, mode);
        VirtualClock clock;
        FakeSerialDevice device(clock);
        SerialPort port(device, clock);
        QVERIFY(port.Open("/dev/ttyUSB0", 9600, LineMode(mode)));
        const auto& s = device.Settings();
        const QList<int> line{int(s.baud), s.dataBits, int(s.parity), s.stopBits,
                              int(s.rtsControl)};
        QTEST(device.ConfigureCalls() == 0 ? QList<int>() : line, "line");
        QVERIFY(device.Dtr());
        QVERIFY(port.Close());
        QVERIFY(!device.Dtr() && !port.IsOpen() && port.OpenPath().isEmpty());
        // A pseudo-terminal refuses some settings: the line is open anyway.
        device.RefuseSettings();
        QVERIFY(port.Open("/dev/pts/7", 115200, LineMode(mode)));
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
