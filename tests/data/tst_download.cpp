#include "FakeSerialDevice.h"
#include "LinkRig.h"
#include "data/DataFile.h"
#include "data/Download.h"

#include <QtTest>

using namespace vexa;
using namespace vexa::test;

namespace {

struct Rig : LinkRig {
    DataSetStore store;
    QList<int> progress;
    Rig() { store.NewDataSet(); }
    SetDownloadResult Fetch(int k, const QByteArray& reply)
    {
        device.ReplyTo(QByteArray("DL=") + QByteArray::number(k) + "\r", "DL\r\n" + reply);
        return DownloadSet(link, store, k, QDate(2026, 12, 6), [this](int p) { progress << p; });
    }
};

QByteArray Lines(std::initializer_list<const char*> lines)
{
    QByteArray out;
    for (const char* l : lines)
        out += QByteArray(l) + "\r\n";
    return out;
}

} // namespace

class TestDownload : public QObject {
    Q_OBJECT

private slots:
    void fiveSamples()
    {
        Rig r;
        const auto result = r.Fetch(0, Lines({"3,100,5,0,0", "10", "12", "15", "14", "11"}));
        QVERIFY(result.created);
        QCOMPARE(result.infoLines, QStringList({"", "Set 1: Downloaded 5 data samples."}));
        QCOMPARE(r.store.SetCount(), 2);
        QCOMPARE(r.store.ActiveSet(), 1);
        const DataSetRecord& set = r.store.Set(1);
        QCOMPARE(set.samples.Count(), 5);
        const double times[] = {0, 0.1, 0.2, 0.3, 0.4};
        const double alts[] = {10, 12, 15, 14, 11};
        for (int i = 0; i < 5; ++i) {
            QCOMPARE(set.samples.time[std::size_t(i)], times[i]);
            QCOMPARE(set.samples.altitude[std::size_t(i)], alts[i]);
        }
        QCOMPARE(set.triggers->samples.Count(), 0);
        QVERIFY(!set.triggers->visible);
        QCOMPARE(set.note2, QString("2026-12-06  Set 1, 5 samples"));
        QCOMPARE(set.note3, QString("0.5 sec, interval=0.1 sec, max=15"));
        QCOMPARE(r.progress.last(), 100);
        QCOMPARE(r.device.Written(), QByteArray("DL=0\r"));
    }

    void triggerMarker()
    {
        Rig r;
        const auto result = r.Fetch(2, Lines({"3,250,4,1,0", "10", "-1535", "20", "30"}));
        QCOMPARE(result.samples, 3);
        const DataSetRecord& set = r.store.Set(1);
        QCOMPARE(set.samples.altitude[1], 20.0);
        QCOMPARE(set.samples.time[2], 0.5);
        QCOMPARE(set.triggers->samples.Count(), 1);
        QCOMPARE(set.triggers->samples.time[0], 0.25);
        QCOMPARE(set.triggers->samples.altitude[0], 20.0);
        QVERIFY(set.triggers->visible);
        QCOMPARE(result.infoLines.last(), QString("Set 3: Downloaded 3 data samples."));
    }

    // The trigger input was on but never fired: the file still says so.
    void triggerInputWithoutEventsSaved()
    {
        Rig r;
        r.Fetch(0, Lines({"3,100,5,1,0", "10", "12", "15", "14", "11"}));
        QFile golden(QFINDTESTDATA("golden/downloaded-trigger-on.csv"));
        QVERIFY(golden.open(QIODevice::ReadOnly));
        PlotFileHeader plot;
        plot.XAxisLabel = "Time (sec)";
        plot.YAxisLabel = "Altitude (Feet)";
        QCOMPARE(SetFileBytes(r.store, 1, plot), golden.readAll());
    }

    void transferEnds_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<int>("samples");
        QTest::addColumn<QString>("note3");

        QTest::newRow("unannounced count reads to silence")
            << Lines({"1,1000,0,0,0", "5", "7", "6"}) << 3 << "3 sec, interval=1 sec, max=7";
        QTest::newRow("empty line ends the set")
            << Lines({"1,100,0,0,0", "5", "", "6"}) << 1 << "0.1 sec, interval=0.1 sec, max=5";
        // Falls silent before the announced count: only what arrived is kept.
        QTest::newRow("short transfer keeps what arrived")
            << Lines({"1,100,10,0,0", "5", "9"}) << 2 << "0.2 sec, interval=0.1 sec, max=9";
        QTest::newRow("garbage line skipped, still counted")
            << Lines({"1,100,3,0,0", "5", "x?", "4"}) << 2 << "0.2 sec, interval=0.1 sec, max=5";
        QTest::newRow("marker at the end without a value")
            << Lines({"1,100,0,1,0", "5", "-1535"}) << 1 << "0.1 sec, interval=0.1 sec, max=5";
        QTest::newRow("no samples")
            << Lines({"1,100,0,0,0"}) << 0 << "0 sec, interval=0.1 sec, max=-99999";
    }

    void transferEnds()
    {
        QFETCH(QByteArray, reply);
        QFETCH(int, samples);
        QFETCH(QString, note3);
        Rig r;
        const auto result = r.Fetch(0, reply);
        QVERIFY(result.created);
        QCOMPARE(r.store.Set(1).samples.Count(), samples);
        QCOMPARE(r.store.Set(1).note3, note3);
    }

    void corruptedHeader_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::newRow("silence") << QByteArray();
        QTest::newRow("empty line") << QByteArray("\r\n10\r\n");
        QTest::newRow("not numbers") << QByteArray("hello\r\n10\r\n");
        QTest::newRow("too few fields") << QByteArray("3,100,5\r\n10\r\n");
    }

    void corruptedHeader()
    {
        QFETCH(QByteArray, reply);
        Rig r;
        const auto result = r.Fetch(1, reply);
        QVERIFY(!result.created);
        QCOMPARE(result.infoLines, QStringList({"", "Set 2: Corrupted data set."}));
        QCOMPARE(r.store.SetCount(), 1);
    }

    void sampleLimit()
    {
        Rig r;
        QByteArray reply = "1,10,0,0,0\r\n";
        for (int i = 0; i < 65540; ++i)
            reply += QByteArray::number(i % 500) + "\n";
        const auto result = r.Fetch(0, reply);
        QCOMPARE(result.samples, 65535);
        QCOMPARE(r.store.Set(1).samples.time[65534], 655.34);
    }

    void header_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<int>("interval");
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("trigger");

        QTest::newRow("plain") << QByteArray("3,100,5,0,0") << 100 << 5 << 0;
        QTest::newRow("blanks") << QByteArray(" 3, 100, 5, 1, 0") << 100 << 5 << 1;
        QTest::newRow("low bits kept") << QByteArray("0,65636,65537,257,0") << 100 << 1 << 1;
        QTest::newRow("fifth field missing") << QByteArray("0,50,7,0") << 50 << 7 << 0;
    }

    void header()
    {
        QFETCH(QByteArray, line);
        QFETCH(int, interval);
        QFETCH(int, count);
        QFETCH(int, trigger);
        const auto h = ParseDownloadHeader(line.constData());
        QVERIFY(h);
        QCOMPARE(int(h->intervalMs), interval);
        QCOMPARE(int(h->recordCount), count);
        QCOMPARE(int(h->triggerFlag), trigger);
    }

    void setsToDownload_data()
    {
        QTest::addColumn<int>("position");
        QTest::addColumn<int>("setCount");
        QTest::addColumn<QList<int>>("sets");

        QTest::newRow("one set") << 1 << 3 << QList<int>{1};
        QTest::newRow("all") << 3 << 3 << QList<int>{0, 1, 2};
        QTest::newRow("all of none") << 0 << 0 << QList<int>{};
        QTest::newRow("nothing selected") << -1 << 3 << QList<int>{};
        QTest::newRow("beyond 512") << 600 << 3 << QList<int>{512};
    }

    void setsToDownload()
    {
        QFETCH(int, position);
        QFETCH(int, setCount);
        QFETCH(QList<int>, sets);
        const auto got = SetsToDownload(position, setCount);
        QCOMPARE(QList<int>(got.begin(), got.end()), sets);
    }
};

QTEST_GUILESS_MAIN(TestDownload)
#include "tst_download.moc"
