#include "FakeSerialDevice.h"
#include "LinkRig.h"
#include "TestData.h"
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

    void getValue_data() { AddRows("link/get-value.txt"); }

    void getValue()
    {
        QFETCH(QStringList, f);
        const int maxElapsedMs = f[2].toInt();
        LinkRig r;
        r.device.ReplyTo("SI\r", f[0].toLatin1(), 5);
        const auto start = r.clock.NowMs();
        QCOMPARE(r.link.GetValue("SI"), f[1].toInt());
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
