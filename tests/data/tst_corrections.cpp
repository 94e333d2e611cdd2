#include "Samples.h"
#include "TestData.h"
#include "data/Corrections.h"

#include <QtTest>
#include <cmath>

using namespace vexa;
using vexa::test::Fill;

class TestCorrections : public QObject {
    Q_OBJECT

private slots:
    // Every press shifts again by what the boxes hold, read as "%lf" reads.
    void applyProperties_data()
    {
        QTest::addColumn<QStringList>("boxes"); // time offset, altitude offset, time scale
        QTest::addColumn<QList<double>>("taken");
        auto row = [](const char* tag, const char* boxes, QList<double> taken) {
            QTest::newRow(tag) << QString(boxes).split('|') << taken;
        };
        row("both shifts, scale", "-2.5|3|2", {-2.5, 3, 2});
        row("below the noise limit", "0.00001|-0.000009|1", {0, 0, 1});
        row("just above the limit", "0.00002|0|1", {0.00002, 0, 1});
        row("no numbers", "abc||x", {0, 0, 1});
        row("blanks, sign, trailing text", "  -3.5 s|0|1 x", {-3.5, 0, 1});
        row("comma is not a decimal point", "1,5|-|1", {1, 0, 1});
        row("overflow", "1e999|0|1", {0, 0, 1});
    }
    void applyProperties()
    {
        QFETCH(QStringList, boxes);
        QFETCH(QList<double>, taken);
        DataSetStore store;
        store.NewDataSet();
        DataSetRecord& set = store.NewDataSet();
        store.SetActiveSet(0);
        Fill(set.triggers->samples, {12.5, 40}, {3, 7});
        SetProperties p;
        p.timeOffset = boxes[0];
        p.altitudeOffset = boxes[1];
        p.timeScale = boxes[2];
        p.name = QString(18, 'a') + QString::fromUtf8("\xF0\x9D\x84\x9E"); // never cut in half
        QVERIFY(ApplyProperties(store, 1, p).changed);
        QCOMPARE(store.Names()->stringList(), QStringList({"Data000", QString(18, 'a')}));
        QCOMPARE(store.ActiveSet(), 0);
        QCOMPARE(set.timeScale, taken[2]);

        QVERIFY(!ApplyProperties(store, 1, p).altitudesChanged); // Apply leaves the window alone
        QCOMPARE(set.samples.altitude[7], 7 + 2 * taken[1]);
        QCOMPARE(set.triggers->samples.time[1], 40 + 2 * taken[0]);
    }

    void fixDriftLevelsTheEnds()
    {
        DataSetStore store;
        DataSetRecord& set = store.NewDataSet();
        std::vector<double> a(100);
        for (int i = 0; i < 100; ++i)
            a[std::size_t(i)] = 30 + i % 7;
        a[4] = a[7] = 2; // of equal lowest values the first counts
        a[95] = 12;
        Fill(set.samples, {}, a);
        // One trigger on sample 50, one between samples.
        Fill(set.triggers->samples, {50.0005, 60.5}, {-1, -1});
        QString info3 = QStringLiteral("Flight 2, max=99 ft");

        QVERIFY(FixDrift(store, 0, info3).altitudesChanged);
        const double slope = 10.0 / 91;
        for (int i = 0; i < 100; ++i) {
            const double expected = i < 4 || i >= 95 ? 2 : a[std::size_t(i)] - (i - 4) * slope;
            QVERIFY2(std::fabs(set.samples.altitude[std::size_t(i)] - expected) < 1e-9,
                     qPrintable(QString::number(i)));
        }
        QCOMPARE(set.triggers->samples.altitude[0], set.samples.altitude[50]);
        QCOMPARE(set.triggers->samples.altitude[1], -1.0);
        QCOMPARE(info3, QString("Flight 2, max=35.7802")); // sample 6: 36 less twice the slope
    }

    // Drift levels the set between its lowest points, or refuses; Offset
    // lowers it onto its lowest point. Both rewrite the maximum in a note
    // (here the set's third note stands in for the plot's for Drift) and
    // move the trigger points with the samples.
    void driftAndOffset_data()
    {
        QTest::addColumn<bool>("drift"); // else offset
        QTest::addColumn<std::vector<double>>("altitudes");
        QTest::addColumn<std::vector<double>>("after"); // none: refused
        QTest::addColumn<QStringList>("note3");         // before, after
        auto row = [](const char* tag, bool drift, std::vector<double> a, std::vector<double> after,
                      const char* notes) {
            QTest::newRow(tag) << drift << a << after << QString(notes).split('|');
        };
        row("offset -3 to 15", false, {0, -3, 15, 4}, {3, 0, 18, 7},
            "12 sec, max=15|12 sec, max=18");
        row("offset, no max= in the note", false, {10, 20}, {0, 10}, "landed|landed");
        row("offset, first max= counts", false, {2, 4.5}, {0, 2.5}, "max=4 max=9|max=2.5");
        row("offset above 99999", false, {100000, 100010}, {0, 10}, "max=100010|max=10");
        row("offset, six digits", false, {0, 1234567}, {0, 1234567}, "max=|max=1.23457e+06");
        std::vector<double> noStart(20, 1.0);
        noStart[0] = noStart[1] = HUGE_VAL;
        row("drift of nine samples", true, std::vector<double>(9, 1.0), {}, "max=1|max=1");
        row("drift, nothing finite in the first tenth", true, noStart, {}, "max=1|max=1");
        row("drift of ten samples above 99999", true,
            {100000, 100001, 100002, 100003, 100004, 100005, 100006, 100007, 100008, 100009},
            std::vector<double>(10, 100000), "max=1|max=100000");
    }
    void driftAndOffset()
    {
        QFETCH(bool, drift);
        QFETCH(std::vector<double>, altitudes);
        QFETCH(std::vector<double>, after);
        QFETCH(QStringList, note3);
        DataSetStore store;
        DataSetRecord& set = store.NewDataSet();
        Fill(set.samples, {}, altitudes);
        Fill(set.triggers->samples, {1}, {altitudes[1]});
        set.note3 = note3[0];
        const CorrectionResult r = drift ? FixDrift(store, 0, set.note3) : FixOffset(store, 0);
        QCOMPARE(r.altitudesChanged, !after.empty());
        QCOMPARE(r.reason.isEmpty(), !after.empty());
        QCOMPARE(set.samples.altitude, after.empty() ? altitudes : after);
        QCOMPARE(set.triggers->samples.altitude[0], set.samples.altitude[1]);
        QCOMPARE(set.note3, note3[1]);
    }

    void autoOffsetStaggersEveryPress()
    {
        DataSetStore store;
        for (int k = 0; k < 3; ++k)
            Fill(store.NewDataSet().triggers->samples, {1}, {1});
        QVERIFY(AutoOffset(store));
        AutoOffset(store); // every press staggers once more
        for (int k = 0; k < 3; ++k) {
            QCOMPARE(store.Set(k).samples.time[20], 20 + 10.0 * k);
            QCOMPARE(store.Set(k).triggers->samples.time[0], 1 + 10.0 * k);
        }
    }

    void photoList()
    {
        DataSetStore store;
        DataSetRecord& set = store.NewDataSet();
        set.note1 = QStringLiteral("Club launch");
        set.note3 = QStringLiteral("48 sec, interval=0.1 sec, max=1234.5");
        Fill(set.triggers->samples, {12.5, 40}, {1234.5, -0.25});
        QCOMPARE(PhotoList(store, 0, "Altitude versus Time", "Time (seconds)", "Altitude (feet)"),
                 QString::fromUtf8(vexa::test::TestData("files/photo-list.txt")));
    }

    // In an empty store, then beside the one set.
    void nothingHappensWithoutASet()
    {
        DataSetStore store;
        QString info3 = QStringLiteral("max=1");
        for (int k : {0, -1, 1}) {
            QVERIFY(!ApplyProperties(store, k, {}).changed && !FixOffset(store, k).changed);
            QVERIFY(!FixDrift(store, k, info3).changed &&
                    PhotoList(store, k, {}, {}, {}).isEmpty());
            ShiftSet(store, k, 1, 1);
            if (store.SetCount() == 0)
                store.NewDataSet();
        }
        QCOMPARE(info3, QString("max=1"));
        QCOMPARE(store.Set(0).samples.time[0], 0.0);
    }
};

QTEST_GUILESS_MAIN(TestCorrections)
#include "tst_corrections.moc"
