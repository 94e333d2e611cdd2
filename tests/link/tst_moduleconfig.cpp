#include "FakeSerialDevice.h"
#include "LinkRig.h"
#include "link/ModuleActions.h"
#include "link/ModuleConfig.h"

#include <QtTest>

using namespace vexa;
using namespace vexa::test;

class TestModuleConfig : public QObject {
    Q_OBJECT

private slots:
    void readsTwelveRegistersInOrder()
    {
        LinkRig r;
        const QMap<QByteArray, QByteArray> values{{"SR", "15"}, {"SI", "100"}, {"SA", "70000"},
                                                  {"PA", "15"}, {"ST", "10"},  {"PT", "60"},
                                                  {"UA", "1"},  {"AS", "2"},   {"AP", "258"},
                                                  {"AZ", "3"},  {"RT", "1"}}; // RV stays silent
        for (auto it = values.begin(); it != values.end(); ++it)
            r.device.ReplyTo(it.key() + "\r", "OK\r\n" + it.value() + "\r\n");
        const ModuleConfig c = ReadModuleConfig(r.link);
        QCOMPARE(r.device.Written(),
                 QByteArray("SR\rSI\rSA\rPA\rST\rPT\rUA\rAS\rAP\rAZ\rRT\rRV\r"));
        QCOMPARE(c.SR, 15);
        QCOMPARE(c.SI, 100);
        QCOMPARE(c.SA, 70000 % 65536); // 16-bit register
        QCOMPARE(c.UA, 1);
        QCOMPARE(c.AP, 2); // 8-bit register
        QCOMPARE(c.RT, 1);
        QCOMPARE(c.RV, 0);
    }

    void silentModuleReadsZerosInVirtualTime()
    {
        LinkRig r;
        const auto start = r.clock.NowMs();
        QCOMPARE(ReadModuleConfig(r.link), ModuleConfig({0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
        const auto elapsed = r.clock.NowMs() - start;
        QVERIFY(elapsed >= 4800 && elapsed < 5400);
    }

    void writeConfigTranscript()
    {
        ConfigControls controls;
        controls.interval = SplitInterval(1500);
        controls.unitsIndex = 2;
        controls.trigger = true;
        controls.autoStart = 3;
        controls.autoStop = 1;
        controls.autoZero = -1; // module answered a mode outside the list
        controls.startAltitude = "20";
        controls.stopAltitude = "-1";
        controls.startSeconds = "65536";
        controls.stopSeconds = "60abc";
        ModuleConfig last;
        last.SI = 25; // the module counts in 25 ms units
        last.AZ = 9;
        const auto out = ConfigFromControls(controls, last);
        QVERIFY(out);
        QCOMPARE(out->startSeconds, QString("65535"));
        QCOMPARE(out->stopSeconds, QString("60abc"));

        LinkRig r;
        WriteModuleConfig(r.link, out->config);
        QCOMPARE(r.device.Written(), QByteArray("SR=60\rSI=25\rSA=20\rPA=65535\rST=65535\rPT=60\r"
                                                "UA=2\rAS=3\rAP=1\rAZ=9\rRT=1\rRV=0\rCW\r"));
        last.SI = 0; // no interval unit: nothing to divide by
        QVERIFY(!ConfigFromControls(controls, last));
    }

    void writeConfigLimits_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("sent");
        QTest::addColumn<QString>("shown");

        QTest::newRow("in range") << "10" << 10 << "10";
        QTest::newRow("below") << "-5" << 0 << "0";
        QTest::newRow("not a number") << "abc" << 0 << "abc";
        QTest::newRow("huge") << "99999999999" << 65535 << "65535";
    }

    void writeConfigLimits()
    {
        QFETCH(QString, typed);
        ConfigControls controls;
        controls.startSeconds = typed;
        const auto out = ConfigFromControls(controls, ModuleConfig{});
        QVERIFY(out);
        QTEST(int(out->config.ST), "sent");
        QTEST(out->startSeconds, "shown");
    }

    void recordTime_data()
    {
        QTest::addColumn<uint>("intervalMs");
        QTest::addColumn<QString>("text");

        QTest::newRow("100 ms") << 100u << "Approximate Record Time: 00 hours 53 min 20.000 sec";
        QTest::newRow("1 s") << 1000u << "Approximate Record Time: 08 hours 53 min 20.000 sec";
        QTest::newRow("10 s") << 10000u << "Approximate Record Time: 3 days, 16 h 53 m 20.000 sec";
        QTest::newRow("1 h") << 3600000u
                             << "Approximate Record Time: 1333 days, 08 h 00 m 00.000 sec";
    }

    void recordTime()
    {
        QFETCH(uint, intervalMs);
        QTEST(RecordTimeText(intervalMs), "text");
    }

    void normalizeInterval_data()
    {
        QTest::addColumn<uint>("inMs");
        QTest::addColumn<uint>("totalMs");
        QTest::addColumn<int>("shownMs");
        QTest::newRow("unchanged") << 90500u << 90500u << 500;
        QTest::newRow("all zero takes SI") << 0u << 100u << 100;
        QTest::newRow("over an hour capped") << 3900000u << OneHourMs << 0;
        QTest::newRow("exactly an hour") << OneHourMs << OneHourMs << 0;
    }

    void normalizeInterval()
    {
        QFETCH(uint, inMs);
        const RecordInterval out = NormalizeInterval(SplitInterval(inMs), 100);
        QTEST(out.TotalMs(), "totalMs");
        QTEST(int(out.milliseconds), "shownMs");
        if (out.TotalMs() == OneHourMs)
            QCOMPARE(out, SplitInterval(OneHourMs));
    }

    void spinnersStopAtTheirLimits_data()
    {
        QTest::addColumn<int>("part");
        QTest::addColumn<bool>("up");
        QTest::addColumn<uint>("fromMs");
        QTest::addColumn<int>("presses");
        QTest::addColumn<int>("shown");
        QTest::newRow("ms in hundreds")
            << int(IntervalPart::Milliseconds) << true << 0u << 3 << 300;
        QTest::newRow("ms up to 900") << int(IntervalPart::Milliseconds) << true << 0u << 12 << 900;
        QTest::newRow("ms down to 0") << int(IntervalPart::Milliseconds) << false << 100u << 2 << 0;
        QTest::newRow("hours up to 1") << int(IntervalPart::Hours) << true << 0u << 3 << 1;
        QTest::newRow("minutes up to 59") << int(IntervalPart::Minutes) << true << 0u << 70 << 59;
        QTest::newRow("seconds down to 0") << int(IntervalPart::Seconds) << false << 0u << 1 << 0;
    }

    void spinnersStopAtTheirLimits()
    {
        QFETCH(int, part);
        QFETCH(bool, up);
        QFETCH(uint, fromMs);
        QFETCH(int, presses);
        RecordInterval p = SplitInterval(fromMs);
        for (int i = 0; i < presses; ++i)
            p = SpinInterval(p, IntervalPart(part), up, 100);
        const std::int16_t RecordInterval::*fields[] = {
            &RecordInterval::hours, &RecordInterval::minutes, &RecordInterval::seconds,
            &RecordInterval::milliseconds};
        QTEST(int(p.*fields[part]), "shown");
    }

    void moduleInfo_data()
    {
        QTest::addColumn<QByteArray>("sv");
        QTest::addColumn<QByteArray>("ns");
        QTest::addColumn<int>("sets");
        QTest::addColumn<QString>("firstLine");
        const QByteArray id = "SV\r\nVEXA\r\nMOD1\r\n1.07\r\n11-02-26\r\n";
        const QString name = "     Device Name: VEXA";
        QTest::newRow("three sets") << id << QByteArray("NS\r\n3\r\n") << 3 << name;
        QTest::newRow("silent NS") << id << QByteArray() << 0 << name;
        QTest::newRow("identity cut short")
            << QByteArray("SV\r\nVEXA\r\n") << QByteArray("NS\r\n1\r\n") << 1
            << QString("No Reply from Target");
        QTest::newRow("more sets than a byte holds")
            << id << QByteArray("NS\r\n300\r\n") << 300 << name;
        QTest::newRow("garbage count") << id << QByteArray("NS\r\n-40\r\n") << 0 << name;
    }

    void moduleInfo()
    {
        QFETCH(QByteArray, sv);
        QFETCH(QByteArray, ns);
        QFETCH(int, sets);
        LinkRig r;
        r.device.ReplyTo("SV\r", sv);
        r.device.ReplyTo("NS\r", ns);
        const ModuleInfo info = DownloadModuleInfo(r.link);
        QCOMPARE(r.device.Written(), QByteArray("SV\rNS\r"));
        QStringList items;
        for (int k = 1; k <= sets; ++k)
            items << QString::number(k);
        QCOMPARE(info.setItems, items << "All");
        QTEST(info.lines.first(), "firstLine");
        QCOMPARE(info.lines.last(), QString("Memory contains %1 data sets.").arg(sets));
    }

    void moduleInfoBlock()
    {
        const ModuleInfo info = BuildModuleInfo({"VEXA", "MOD1", "0.03", "08-27-03"}, 0, true);
        QCOMPARE(info.lines, QStringList({"     Device Name: VEXA", "           Model: MOD1", "",
                                          "Software Version: 0.03", "   Software Date: 08-27-03",
                                          "", "", "Memory contains 0 data sets."}));
    }

    void maintenanceTranscripts()
    {
        LinkRig r;
        EraseSet(r.link, 1);
        EraseSet(r.link, 0);
        EraseAllSets(r.link);
        QCOMPARE(r.device.Written(), QByteArray("ES=0\rES=-1\rEA=1\r"));
    }

    // Calibration's timeline is checked through the window, with what follows it.
    void resetTimeline()
    {
        LinkRig r;
        r.device.Queue("stale\r\n");
        const auto start = r.clock.NowMs();
        ResetModule(r.link);
        QCOMPARE(r.device.Written(), QByteArray("*"));
        QVERIFY(r.clock.NowMs() - r.device.Writes().front().atMs >= 4000);
        QVERIFY(r.clock.NowMs() - start < 4100);
    }

    void calibrationAltitude_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("altitude");
        QTest::newRow("number") << QString("1234") << QString("1234");
        QTest::newRow("blanks and sign") << QString("  -15 ft") << QString("-15");
        QTest::newRow("empty") << QString() << QString("none");
        QTest::newRow("words") << QString("sea level") << QString("none");
    }

    void calibrationAltitude()
    {
        QFETCH(QString, text);
        const auto parsed = ParseCalibrationAltitude(text);
        QTEST(parsed ? QString::number(*parsed) : QString("none"), "altitude");
    }
};

QTEST_GUILESS_MAIN(TestModuleConfig)
#include "tst_moduleconfig.moc"
