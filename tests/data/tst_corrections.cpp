#include "Samples.h"
#include "TestData.h"
#include "data/Corrections.h"

#include <QtTest>
#include <cmath>

using namespace vexa;
using namespace vexa::test;

namespace {

std::vector<double> Numbers(const QString& text)
{
    std::vector<double> v;
    for (const QString& n : text.split(' ', Qt::SkipEmptyParts))
        v.push_back(n == "inf" ? HUGE_VAL : n.toDouble());
    return v;
}

} // namespace

class TestCorrections : public QObject {
    Q_OBJECT

private slots:
    // Every press shifts again by what the boxes hold, read as "%lf" reads.
    void applyProperties_data() { AddRows("data/properties.txt", ";"); }
    void applyProperties()
    {
        QFETCH(QStringList, f);
        const std::vector<double> taken = Numbers(f.mid(3).join(' '));
        DataSetStore store;
        store.NewDataSet();
        DataSetRecord& set = store.NewDataSet();
        store.SetActiveSet(0);
        Fill(set.triggers->samples, {12.5, 40}, {3, 7});
        SetProperties p;
        p.timeOffset = f[0];
        p.altitudeOffset = f[1];
        p.timeScale = f[2];
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
    void driftAndOffset_data() { AddRows("data/drift-offset.txt", ";"); }
    void driftAndOffset()
    {
        QFETCH(QStringList, f);
        const bool drift = f[0] == "1";
        const std::vector<double> altitudes = Numbers(f[1]), after = Numbers(f[2]);
        const QStringList note3 = f.mid(3);
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
