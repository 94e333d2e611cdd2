#include "data/DataSetStore.h"

#include <QSignalSpy>
#include <QtTest>

using namespace vexa;

class TestDataSetStore : public QObject {
    Q_OBJECT

private slots:
    // A set costs what it holds; the capacity only limits growth.
    void samplesGrowToTheLimitOnly()
    {
        DataSetStore store;
        SampleBlock& s = store.NewDataSet().samples;
        QVERIFY(s.time.capacity() < 1024);
        s.Resize(SampleBlock::Capacity + 10);
        QVERIFY(!s.Append(1, 2));
        QCOMPARE(int(s.peakMarks.size()), SampleBlock::Capacity);
    }

    // Sets come and go; the name counter only moves forward.
    void colourCycleAndNameCounterWrap()
    {
        DataSetStore store;
        for (int i = 0; i < 13; ++i)
            store.NewDataSet();
        QCOMPARE(store.NewDataSet().lineColor, ColorCycle[0]);
        for (int i = 14; i < 999; ++i) {
            store.NewDataSet();
            store.DeleteDataSet(store.SetCount() - 1);
        }
        QCOMPARE(store.NewDataSet().name, QString("Data999"));
        QCOMPARE(store.NewDataSet().name, QString("Data000"));
    }

    // One set deleted: the names follow, each set keeps its trigger record,
    // and some set stays active while there is one.
    void deleteRenumbersAndKeepsAnActiveSet()
    {
        const std::tuple<int, int, int, QString, int> cases[] = {
            // sets, active, deleted, names left, active after
            {3, 2, 0, "Data001|Data002", 1},
            {3, 1, 1, "Data000|Data002", 0},
            {3, 0, 2, "Data000|Data001", 0},
            {3, 1, 3, "Data000|Data001|Data002", 1}, // out of range
            {1, 0, 0, "", -1}};
        for (const auto& [sets, active, deleted, names, activeAfter] : cases) {
            DataSetStore store;
            for (int i = 0; i < sets; ++i)
                store.NewDataSet();
            store.SetActiveSet(active);
            QSignalSpy spy(&store, &DataSetStore::ActiveSetChanged);
            store.DeleteDataSet(deleted);
            QCOMPARE(store.Names()->stringList(), names.split('|', Qt::SkipEmptyParts));
            QCOMPARE(store.ActiveSet(), activeAfter);
            QCOMPARE(spy.count(), deleted < sets ? 1 : 0);
            for (int k = 0; k < store.SetCount(); ++k)
                QVERIFY(store.Set(k).triggers == &store.Record(2 * k + 1));
        }
    }

    // Both axes' extents, each sample's time equal to its altitude.
    void extents()
    {
        const std::tuple<QString, double, double> cases[] = {
            // sets apart by '|', low, high
            {"0 20", 0, 30},       {"5 30", 0, 40},           // high on the maximum gets a step
            {"100 100", 100, 102}, {"100.2 100.7", 100, 101}, // range below one: step 1
            {"-15 25", -10, 40},   {"150000 150500", 150000, 150600},
            {"0 10|35 5", 0, 40},  {"", 1, 2}}; // no set keeps the window
        for (const auto& [sets, low, high] : cases) {
            DataSetStore store;
            for (const QString& samples : sets.split('|', Qt::SkipEmptyParts)) {
                DataSetRecord& set = store.NewDataSet();
                set.samples.Clear();
                for (const QString& a : samples.split(' '))
                    set.samples.Append(a.toDouble(), a.toDouble());
                // Trigger points lie far outside and must not widen anything.
                set.triggers->samples.Append(-5000, 90000);
            }
            Extent t{1, 2}, a{1, 2};
            QCOMPARE(store.ComputeTimeExtent(t) && store.ComputeAltitudeExtent(a), !sets.isEmpty());
            QCOMPARE((QList<double>{t.low, t.high, a.low, a.high}),
                     (QList<double>{low, high, low, high}));
        }
    }
};

QTEST_GUILESS_MAIN(TestDataSetStore)
#include "tst_datasetstore.moc"
