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
    void commandsAreFramedByteForByte_data()
    {
        QTest::addColumn<QString>("call");
        QTest::addColumn<QByteArray>("sent");

        QTest::newRow("SendCommand SV") << "send SV" << QByteArray("SV\r");
        QTest::newRow("SetValue ES -1") << "set ES -1" << QByteArray("ES=-1\r");
        QTest::newRow("SetValue SR 15") << "set SR 15" << QByteArray("SR=15\r");
        QTest::newRow("SetValue DL 0") << "set DL 0" << QByteArray("DL=0\r");
        QTest::newRow("GetValue SI") << "get SI" << QByteArray("SI\r");
    }

    void commandsAreFramedByteForByte()
    {
        QFETCH(QString, call);
        QFETCH(QByteArray, sent);

        Rig r;
        const QStringList words = call.split(' ');
        const QByteArray name = words[1].toLatin1();
        if (words[0] == "send")
            r.link.SendCommand(name.constData());
        else if (words[0] == "set")
            r.link.SetValue(name.constData(), words[2].toInt());
        else
            r.link.GetValue(name.constData());
        QCOMPARE(r.device.Written(), sent);
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
        QFETCH(int, value);
        QFETCH(int, maxElapsedMs);

        Rig r;
        r.device.ReplyTo("SI\r", reply, 5);
        const auto start = r.clock.NowMs();
        QCOMPARE(r.link.GetValue("SI"), value);
        const auto elapsed = r.clock.NowMs() - start;
        QVERIFY2(elapsed <= maxElapsedMs, qPrintable(QString::number(elapsed)));
        if (reply.isEmpty())
            QVERIFY(elapsed >= 400);
    }

    void strayInputIsDrainedBeforeTheCommand()
    {
        Rig r;
        r.device.Queue("OK\r\n999\r\n");
        r.device.ReplyTo("SI\r", "OK\r\n100\r\n");
        QCOMPARE(r.link.GetValue("SI"), 100);
        QCOMPARE(r.device.Written(), QByteArray("SI\r"));
    }

    void sendCommandReportsTheAcknowledgement()
    {
        Rig r;
        r.device.ReplyTo("CW\r", "CW OK\r\n");
        QCOMPARE(r.link.SendCommand("CW"), 5);
        const auto start = r.clock.NowMs();
        QCOMPARE(r.link.SetValue("ST", 10), 0); // silence
        QVERIFY(r.clock.NowMs() - start >= 200);
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
        QFETCH(int, value);
        QCOMPARE(LeadingInt(text.constData()), value);
    }
};

QTEST_GUILESS_MAIN(TestModuleLink)
#include "tst_modulelink.moc"
