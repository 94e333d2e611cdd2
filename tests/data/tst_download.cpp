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
    void transferEnds_data() { AddRows("data/transfer-ends.txt", ";"); }
    void transferEnds()
    {
        QFETCH(QStringList, f);
        const int samples = f[1].toInt();
        Rig r;
        const auto result = r.Fetch(0, Crlf(f[0].toLatin1()));
        QCOMPARE(result.created, samples >= 0);
        QCOMPARE(r.store.SetCount(), samples >= 0 ? 2 : 1);
        if (samples < 0) {
            QCOMPARE(result.infoLines, QStringList({"", "Set 1: Corrupted data set."}));
            return;
        }
        QCOMPARE(r.store.Set(1).samples.Count(), samples);
        QCOMPARE(r.store.Set(1).note3, f[2]);
        QCOMPARE(r.store.Set(1).triggers->visible, f[3] == "1");
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
        for (const QStringList& c : Table("data/sets-to-download.txt")) {
            std::vector<int> sets;
            for (const QString& k : c[2].split(' ', Qt::SkipEmptyParts))
                sets.push_back(k.toInt());
            QCOMPARE(SetsToDownload(c[0].toInt(), c[1].toInt()), sets);
        }
    }
};

QTEST_GUILESS_MAIN(TestDownload)
#include "tst_download.moc"
