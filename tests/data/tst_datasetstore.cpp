#include "Samples.h"
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
        QCOMPARE(s.Count(), SampleBlock::Capacity);
        QCOMPARE(int(s.peakMarks.size()), SampleBlock::Capacity);
    }

    void colourCycleAndNameCounterWrap()
    {
        DataSetStore store;
        for (int i = 0; i < 13; ++i)
            store.NewDataSet();
        QCOMPARE(store.NewDataSet().lineColor, ColorCycle[0]);
        QCOMPARE(store.Set(1).lineColor, ColorRef(255));
        // Sets come and go; the counter only moves forward.
        for (int i = 14; i < 999; ++i) {
            store.NewDataSet();
            store.DeleteDataSet(store.SetCount() - 1);
        }
        QCOMPARE(store.NewDataSet().name, QString("Data999"));
        QCOMPARE(store.NewDataSet().name, QString("Data000"));
        QCOMPARE(store.ActiveSet(), store.SetCount() - 1);
    }

    void deleteRenumbersAndKeepsAnActiveSet_data()
    {
        QTest::addColumn<int>("active");
        QTest::addColumn<int>("deleted");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<int>("activeAfter");

        QTest::newRow("delete set 0 of three")
            << 2 << 0 << QStringList({"Data001", "Data002"}) << 1;
        QTest::newRow("delete the active set")
            << 1 << 1 << QStringList({"Data000", "Data002"}) << 0;
        QTest::newRow("delete after the active")
            << 0 << 2 << QStringList({"Data000", "Data001"}) << 0;
        QTest::newRow("out of range is ignored")
            << 1 << 3 << QStringList({"Data000", "Data001", "Data002"}) << 1;
    }

    void deleteRenumbersAndKeepsAnActiveSet()
    {
        QFETCH(int, active);
        QFETCH(int, deleted);
        QFETCH(QStringList, names);
        QFETCH(int, activeAfter);

        DataSetStore store;
        for (int i = 0; i < 3; ++i)
            store.NewDataSet();
        store.SetActiveSet(active);
        store.DeleteDataSet(deleted);
        QCOMPARE(store.Names()->stringList(), names);
        QCOMPARE(store.ActiveSet(), activeAfter);
        for (int k = 0; k < store.SetCount(); ++k) {
            QCOMPARE(store.Set(k).name, names[k]);
            QVERIFY(store.Set(k).triggers == &store.Record(2 * k + 1));
        }
    }

    void deletingTheLastSetLeavesNoneActive()
    {
        DataSetStore store;
        store.NewDataSet();
        QSignalSpy spy(&store, &DataSetStore::ActiveSetChanged);
        store.DeleteDataSet(0);
        QCOMPARE(store.SetCount(), 0);
        QCOMPARE(store.ActiveSet(), -1);
        QVERIFY(store.Active() == nullptr);
        QCOMPARE(spy.count(), 1);
        Extent e{1, 2};
        QVERIFY(!store.ComputeTimeExtent(e));
        QCOMPARE(e.low, 1.0); // an empty store keeps the window
    }

    void renameKeepsTheActiveSet()
    {
        DataSetStore store;
        store.NewDataSet();
        store.NewDataSet();
        store.Set(0).name = "Flight 1";
        store.RefreshSetName(0);
        QCOMPARE(store.Names()->stringList(), QStringList({"Flight 1", "Data001"}));
        QCOMPARE(store.ActiveSet(), 1);
    }

    void extents_data()
    {
        QTest::addColumn<QList<double>>("altitudes");
        QTest::addColumn<double>("low");
        QTest::addColumn<double>("high");

        QTest::newRow("fresh set") << QList<double>{0, 20} << 0.0 << 30.0;
        QTest::newRow("high on the maximum gets a step") << QList<double>{5, 30} << 0.0 << 40.0;
        QTest::newRow("flat") << QList<double>{100, 100} << 100.0 << 102.0;
        QTest::newRow("range below one keeps step 1")
            << QList<double>{100.2, 100.7} << 100.0 << 101.0;
        QTest::newRow("negative truncates toward zero") << QList<double>{-15, 25} << -10.0 << 40.0;
        QTest::newRow("beyond the old sentinels")
            << QList<double>{150000, 150500} << 150000.0 << 150600.0;
    }

    void extents()
    {
        QFETCH(QList<double>, altitudes);
        QFETCH(double, low);
        QFETCH(double, high);

        DataSetStore store;
        DataSetRecord& set = store.NewDataSet();
        set.samples.Clear();
        for (double a : altitudes)
            set.samples.Append(a, a);
        // Trigger points lie far outside and must not widen anything.
        set.triggers->samples.Append(-5000, 90000);

        Extent t, a;
        QVERIFY(store.ComputeTimeExtent(t));
        QVERIFY(store.ComputeAltitudeExtent(a));
        QCOMPARE(a.low, low);
        QCOMPARE(a.high, high);
        QCOMPARE(t.low, low);
        QCOMPARE(t.high, high);
    }

    void extentsSpanEverySet()
    {
        DataSetStore store;
        vexa::test::Fill(store.NewDataSet().samples, {}, {0, 10});
        vexa::test::Fill(store.NewDataSet().samples, {}, {35, 5});
        Extent a;
        QVERIFY(store.ComputeAltitudeExtent(a));
        QCOMPARE(a.low, 0.0);
        QCOMPARE(a.high, 40.0);
    }
};

QTEST_GUILESS_MAIN(TestDataSetStore)
#include "tst_datasetstore.moc"
