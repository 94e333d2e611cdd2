#include "FakeSerialDevice.h"
#include "LinkRig.h"
#include "TestData.h"
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

// The module's reply, lines given apart by '|'; each ends in CR LF.
} // namespace

class TestDownload : public QObject {
    Q_OBJECT

private slots:
    // The trigger input was on but never fired: the file still says so.
    void fiveSamplesSaved()
    {
        Rig r;
        const auto result = r.Fetch(0, Crlf("3,100,5,1,0|10|12|15|14|11"));
        QCOMPARE(result.infoLines, QStringList({"", "Set 1: Downloaded 5 data samples."}));
        QCOMPARE(r.progress.last(), 100);
        PlotFileHeader plot;
        plot.XAxisLabel = "Time (sec)";
        plot.YAxisLabel = "Altitude (Feet)";
        QCOMPARE(SetFileBytes(r.store, 1, plot), TestData("files/downloaded-trigger-on.csv"));
    }

    void triggerMarker()
    {
        Rig r;
        r.Fetch(2, Crlf("3,250,4,1,0|10|-1535|20|30"));
        const DataSetRecord& set = r.store.Set(1);
        QCOMPARE(set.samples.time[2], 0.5);
        QCOMPARE(set.triggers->samples.time, std::vector<double>{0.25});
        QCOMPARE(set.triggers->samples.altitude, std::vector<double>{20});
    }

    // How the header reads and a set's transfer ends; samples -1: refused as
    // corrupted.
    void transferEnds_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<int>("samples");
        QTest::addColumn<QString>("note3");
        QTest::addColumn<bool>("trigger");
        auto row = [](const char* tag, const char* reply, int samples, const char* note3,
                      bool trigger = false) {
            QTest::newRow(tag) << Crlf(reply) << samples << QString(note3) << trigger;
        };
        row("no count: to silence", "1,1000,0,0,0|5|7|6", 3, "3 sec, interval=1 sec, max=7");
        row("empty line ends the set", "1,100,0,0,0|5||6", 1, "0.1 sec, interval=0.1 sec, max=5");
        // Falls silent before the announced count: only what arrived is kept.
        row("short transfer", "1,100,10,0,0|5|9", 2, "0.2 sec, interval=0.1 sec, max=9");
        row("garbage line counted", "1,100,3,0,0|5|x?|4", 2, "0.2 sec, interval=0.1 sec, max=5");
        row("bare marker", "1,100,0,1,0|5|-1535", 1, "0.1 sec, interval=0.1 sec, max=5", true);
        row("no samples", "1,100,0,0,0", 0, "0 sec, interval=0.1 sec, max=-99999");
        // Blanks, bits past the fields' widths, no fifth field.
        row("header as scanf reads it", " 0, 65586, 65538, 257|5|6|7", 2,
            "0.1 sec, interval=0.05 sec, max=6", true);
        row("silence", "", -1, "");
        row("empty header", "|10", -1, "");
        row("header not numbers", "hello|10", -1, "");
        row("too few fields", "3,100,5|10", -1, "");
    }
    void transferEnds()
    {
        QFETCH(QByteArray, reply);
        QFETCH(int, samples);
        QFETCH(QString, note3);
        QFETCH(bool, trigger);
        Rig r;
        const auto result = r.Fetch(0, reply);
        QCOMPARE(result.created, samples >= 0);
        QCOMPARE(r.store.SetCount(), samples >= 0 ? 2 : 1);
        if (samples < 0) {
            QCOMPARE(result.infoLines, QStringList({"", "Set 1: Corrupted data set."}));
            return;
        }
        QCOMPARE(r.store.Set(1).samples.Count(), samples);
        QCOMPARE(r.store.Set(1).note3, note3);
        QCOMPARE(r.store.Set(1).triggers->visible, trigger);
    }

    void sampleLimit()
    {
        Rig r;
        QByteArray reply = "1,10,0,0,0\r\n";
        for (int i = 0; i < 65540; ++i)
            reply += QByteArray::number(i % 500) + "\n";
        QCOMPARE(r.Fetch(0, reply).samples, 65535);
        QCOMPARE(r.store.Set(1).samples.time.back(), 655.34);
    }

    // The list position past the last set means all of them.
    void setsToDownload()
    {
        // Position, set count, the sets to fetch.
        const std::tuple<int, int, std::vector<int>> cases[] = {
            {1, 3, {1}}, {3, 3, {0, 1, 2}}, {0, 0, {}}, {-1, 3, {}}, {600, 3, {512}}};
        for (const auto& [position, setCount, sets] : cases)
            QCOMPARE(SetsToDownload(position, setCount), sets);
    }
};

QTEST_GUILESS_MAIN(TestDownload)
#include "tst_download.moc"
