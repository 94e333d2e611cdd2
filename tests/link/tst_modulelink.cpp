#include "FakeSerialDevice.h"
#include "LinkRig.h"
#include "link/ModuleLink.h"

#include <QtTest>
#include <climits>

using namespace vexa;
using namespace vexa::test;

class TestModuleLink : public QObject {
    Q_OBJECT

    using Rig = LinkRig;

private slots:
    void commandsAreFramedByteForByte()
    {
        Rig r;
        r.link.SendCommand("SV");
        r.link.SetValue("ES", -1);
        r.link.SetValue("SR", 15);
        r.link.SetValue("DL", 0);
        r.link.GetValue("SI");
        QCOMPARE(r.device.Written(), QByteArray("SV\rES=-1\rSR=15\rDL=0\rSI\r"));
    }

    void getValue_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("maxElapsedMs");

        QTest::newRow("ack then value") << QByteArray("SI\r\n100\r\n") << 100 << 50;
        QTest::newRow("negative value") << QByteArray("OK\r\n-12\r\n") << -12 << 50;
        QTest::newRow("value with trailing text") << QByteArray("OK\r\n  42 ft\r\n") << 42 << 50;
        QTest::newRow("no value line") << QByteArray("OK\r\n") << 0 << 250;
        QTest::newRow("silent module") << QByteArray() << 0 << 450;
    }

    void getValue()
    {
        QFETCH(QByteArray, reply);
        QFETCH(int, maxElapsedMs);
        Rig r;
        r.device.ReplyTo("SI\r", reply, 5);
        const auto start = r.clock.NowMs();
        QTEST(r.link.GetValue("SI"), "value");
        const auto elapsed = r.clock.NowMs() - start;
        QVERIFY2(elapsed <= maxElapsedMs, qPrintable(QString::number(elapsed)));
        if (reply.isEmpty())
            QVERIFY(elapsed >= 400);
    }

    void strayInputIsDrainedAndAcknowledgementsCounted()
    {
        Rig r;
        r.device.Queue("OK\r\n999\r\n");
        r.device.ReplyTo("SI\r", "OK\r\n100\r\n");
        QCOMPARE(r.link.GetValue("SI"), 100);
        r.device.ReplyTo("CW\r", "CW OK\r\n");
        QCOMPARE(r.link.SendCommand("CW"), 5);
        const auto start = r.clock.NowMs();
        QCOMPARE(r.link.SetValue("ST", 10), 0); // silence
        QVERIFY(r.clock.NowMs() - start >= 200);
        QCOMPARE(r.device.Written(), QByteArray("SI\rCW\rST=10\r"));
    }

    void overlongNameIsCutNotOverrun()
    {
        Rig r;
        const QByteArray name(400, 'A');
        r.link.SendCommand(name.constData());
        QVERIFY(r.device.Written().size() <= LineMax + 1);
    }

    void leadingInt_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("value");

        QTest::newRow("plain") << QByteArray("100") << 100;
        QTest::newRow("blanks and sign") << QByteArray("  -35") << -35;
        QTest::newRow("plus") << QByteArray("+7") << 7;
        QTest::newRow("stops at text") << QByteArray("12abc") << 12;
        QTest::newRow("no digits") << QByteArray("abc") << 0;
        QTest::newRow("empty") << QByteArray("") << 0;
        QTest::newRow("sign alone") << QByteArray("-") << 0;
        QTest::newRow("too large saturates") << QByteArray("99999999999999999999") << INT_MAX;
        QTest::newRow("too small saturates") << QByteArray("-99999999999999999999") << INT_MIN;
    }

    void leadingInt()
    {
        QFETCH(QByteArray, text);
        QTEST(LeadingInt(text.constData()), "value");
    }
};

QTEST_GUILESS_MAIN(TestModuleLink)
#include "tst_modulelink.moc"
