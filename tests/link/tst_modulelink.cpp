#include "FakeSerialDevice.h"
#include "LinkRig.h"
#include "link/ModuleLink.h"

#include <QtTest>
#include <climits>

using namespace vexa;
using namespace vexa::test;

class TestModuleLink : public QObject {
    Q_OBJECT

private slots:
    // Stray input is drained before each command; an overlong name is cut, not overrun.
    void commandsAreFramedByteForByte()
    {
        LinkRig r;
        r.device.Queue("OK\r\n999\r\n");
        r.device.ReplyTo("SI\r", "OK\r\n100\r\n");
        r.device.ReplyTo("CW\r", "CW OK\r\n");
        QCOMPARE(r.link.GetValue("SI"), 100);
        QCOMPARE(r.link.SendCommand("CW"), 5);
        QCOMPARE(r.link.SetValue("ES", -1), 0); // silence
        QCOMPARE(r.device.Written(), QByteArray("SI\rCW\rES=-1\r"));
        r.device.ClearWrites();
        r.link.SendCommand(QByteArray(400, 'A').constData());
        QVERIFY(r.device.Written().size() <= LineMax + 1);
    }

    void getValue_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("maxElapsedMs");

        QTest::newRow("ack then value") << QByteArray("SI\r\n100\r\n") << 100 << 50;
        QTest::newRow("value with trailing text") << QByteArray("OK\r\n  42 ft\r\n") << 42 << 50;
        QTest::newRow("no value line") << QByteArray("OK\r\n") << 0 << 250;
        QTest::newRow("silent module") << QByteArray() << 0 << 450;
    }

    void getValue()
    {
        QFETCH(QByteArray, reply);
        QFETCH(int, maxElapsedMs);
        LinkRig r;
        r.device.ReplyTo("SI\r", reply, 5);
        const auto start = r.clock.NowMs();
        QTEST(r.link.GetValue("SI"), "value");
        const auto elapsed = r.clock.NowMs() - start;
        QVERIFY2(elapsed <= maxElapsedMs && elapsed >= maxElapsedMs - 50,
                 qPrintable(QString::number(elapsed)));
    }

    void leadingInt()
    {
        QList<int> got;
        for (const char* text :
             {"  -35", "12abc", "abc", "-", "99999999999999999999", "-99999999999999999999"})
            got << LeadingInt(text);
        QCOMPARE(got, QList<int>({-35, 12, 0, 0, INT_MAX, INT_MIN}));
    }
};

QTEST_GUILESS_MAIN(TestModuleLink)
#include "tst_modulelink.moc"
