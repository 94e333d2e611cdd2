#include "FakeSerialDevice.h"
#include "LinkRig.h"
#include "TestData.h"
#include "link/ModuleActions.h"
#include "link/ModuleConfig.h"

#include <QtTest>

using namespace vexa;
using namespace vexa::test;

class TestModuleConfig : public QObject {
    Q_OBJECT

private slots:
    void readsEachRegisterIntoItsField()
    {
        LinkRig r;
        const QByteArray values =
            "SR=15 SI=100 SA=70000 PA=15 ST=10 PT=60 UA=1 AS=2 AP=258 AZ=3 RT=1";
        for (const QByteArray& v : values.split(' ')) // RV stays silent
            r.device.ReplyTo(v.split('=')[0] + "\r", "OK\r\n" + v.split('=')[1] + "\r\n");
        // 16- and 8-bit registers keep their low bits.
        QCOMPARE(ReadModuleConfig(r.link),
                 ModuleConfig({15, 100, 70000 % 65536, 15, 10, 60, 1, 2, 2, 3, 1, 0}));
    }

    void writeConfigTranscript()
    {
        // A mode outside the list (-1) keeps the module's.
        const ConfigControls controls{
            SplitInterval(1500), 2, true, false, 3, 1, -1, "20", "-1", "99999999999", "60abc"};
        ModuleConfig last;
        last.SI = 25; // the module counts in 25 ms units
        last.AZ = 9;
        const auto out = ConfigFromControls(controls, last);
        QVERIFY(out);
        QCOMPARE(out->startSeconds + "|" + out->stopSeconds, QString("65535|60abc"));

        LinkRig r;
        WriteModuleConfig(r.link, out->config);
        QCOMPARE(r.device.Written(), TestData("link/write-config.txt").replace('\n', '\r'));
        last.SI = 0; // no interval unit: nothing to divide by
        QVERIFY(!ConfigFromControls(controls, last));
    }

    void intervalRules()
    {
        QCOMPARE(RecordTimeText(OneHourMs),
                 QString("Approximate Record Time: 1333 days, 08 h 00 m 00.000 sec"));
        QCOMPARE(NormalizeInterval(SplitInterval(0), 100), SplitInterval(100));
        QCOMPARE(NormalizeInterval(SplitInterval(3900000), 100), SplitInterval(OneHourMs));
        auto spin = [](IntervalPart part, bool up, int presses, RecordInterval p = {}) {
            for (int i = 0; i < presses; ++i)
                p = SpinInterval(p, part, up, 100);
            return p;
        };
        // Hours stop at 1, minutes at 59, milliseconds at 0.
        QCOMPARE(QList<int>(
                     {spin(IntervalPart::Hours, true, 3).hours,
                      spin(IntervalPart::Minutes, true, 70).minutes,
                      spin(IntervalPart::Milliseconds, false, 2, SplitInterval(100)).milliseconds}),
                 QList<int>({1, 59, 0}));
    }

    void moduleInfo_data() { AddRows("link/module-info.txt"); }

    void moduleInfo()
    {
        QFETCH(QStringList, f);
        LinkRig r;
        r.device.ReplyTo("SV\r", f[0].toLatin1());
        // A slow module sends the count the given milliseconds after its acknowledgement.
        const QByteArray ns = f[1].toLatin1();
        const qsizetype ack = ns.indexOf('\n') + 1;
        r.device.ReplyTo("NS\r", ns.left(ack));
        r.device.ReplyTo("NS\r", ns.mid(ack), f.value(3).toInt());
        const ModuleInfo info = DownloadModuleInfo(r.link);
        QCOMPARE(info.lines.join('\n') + "\n--\n" + info.setItems.join(' ') + '\n',
                 QString(TestData("link/" + f[2])));
    }

    // Calibration's timeline is checked through the window, with what follows it.
    void resetTimeline()
    {
        LinkRig r;
        r.device.Queue("stale\r\n");
        ResetModule(r.link);
        QCOMPARE(r.device.Written(), QByteArray("*"));
        QCOMPARE(r.clock.NowMs() - r.device.Writes().front().atMs, std::int64_t(ResetWaitMs));
    }
};

QTEST_GUILESS_MAIN(TestModuleConfig)
#include "tst_moduleconfig.moc"
