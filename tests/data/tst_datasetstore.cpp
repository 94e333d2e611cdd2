#include "TestData.h"
#include "data/DataSetStore.h"

#include <QSignalSpy>
#include <QtTest>

using namespace vexa;
using vexa::test::AddRows;

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
    void deleteRenumbersAndKeepsAnActiveSet_data() { AddRows("data/delete-set.txt"); }
    void deleteRenumbersAndKeepsAnActiveSet()
    {
        QFETCH(QStringList, f);
        const int sets = f[0].toInt(), deleted = f[2].toInt();
        DataSetStore store;
        for (int i = 0; i < sets; ++i)
            store.NewDataSet();
        store.SetActiveSet(f[1].toInt());
        QSignalSpy spy(&store, &DataSetStore::ActiveSetChanged);
        store.DeleteDataSet(deleted);
        QCOMPARE(store.Names()->stringList().join(' '), f[3]);
        QCOMPARE(store.ActiveSet(), f[4].toInt());
        QCOMPARE(spy.count(), deleted < sets ? 1 : 0);
        for (int k = 0; k < store.SetCount(); ++k)
            QVERIFY(store.Set(k).triggers == &store.Record(2 * k + 1));
    }

    // Both axes' extents, each sample's time equal to its altitude.
    void extents_data() { AddRows("data/extents.txt", ";"); }
    void extents()
    {
        QFETCH(QStringList, f);
        DataSetStore store;
        for (const QString& samples : f[0].split('|', Qt::SkipEmptyParts)) {
            DataSetRecord& set = store.NewDataSet();
            set.samples.Clear();
            for (const QString& a : samples.split(' '))
                set.samples.Append(a.toDouble(), a.toDouble());
            // Trigger points lie far outside and must not widen anything.
            set.triggers->samples.Append(-5000, 90000);
        }
        Extent t{1, 2}, a{1, 2};
        QCOMPARE(store.ComputeTimeExtent(t) && store.ComputeAltitudeExtent(a), !f[0].isEmpty());
        QCOMPARE(
            (QList<double>{t.low, t.high, a.low, a.high}),
            (QList<double>{f[1].toDouble(), f[2].toDouble(), f[1].toDouble(), f[2].toDouble()}));
    }
};

QTEST_GUILESS_MAIN(TestDataSetStore)
#include "tst_datasetstore.moc"
