#include "Samples.h"
#include "TestData.h"
#include "data/DataFile.h"
#include "data/DataFileNumbers.h"
#include "data/TextCodec.h"

#include <QTemporaryDir>
#include <QtTest>
#include <clocale>
#include <cmath>
#include <cstring>
#include <random>
#include <string>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#endif

using namespace vexa;
using namespace vexa::test;

namespace {

// A store holding the start-up set, and loads into it.
struct Rig {
    DataSetStore store;
    PlotFileHeader plot;
    Rig()
    {
        store.NewDataSet();
        plot.XAxisLabel = "Time (sec)";
        plot.YAxisLabel = "Altitude (Feet)";
    }
    LoadResult Load(const QByteArray& bytes) { return LoadDataBytes(bytes, store, plot); }
    const DataSetRecord& Last() const { return store.Set(store.SetCount() - 1); }
};

} // namespace

class TestDataFile : public QObject {
    Q_OBJECT

private slots:
    // Every case runs where the user's locale writes decimal commas, where
    // the machine has such a locale; the process's own comes back at the end.
    void initTestCase()
    {
        savedLocale_ = QLocale();
        savedNumeric_ = std::setlocale(LC_NUMERIC, nullptr);
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        decimalComma_ = std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr;
    }
    void cleanupTestCase()
    {
        QLocale::setDefault(savedLocale_);
        std::setlocale(LC_NUMERIC, savedNumeric_.c_str());
    }
    // After a case that chose its own, also when it failed.
    void cleanup()
    {
        std::setlocale(LC_NUMERIC, decimalComma_ ? "de_DE.UTF-8" : savedNumeric_.c_str());
    }

    // The fast path must give printf's digits exactly: next to rounding
    // ties, for negative zero, and past its range; also where printf writes
    // decimal commas.
    void numbersMatchPrintf_data()
    {
        QTest::addColumn<bool>("comma");
        QTest::newRow("decimal point") << false;
        QTest::newRow("decimal comma") << true;
    }
    void numbersMatchPrintf()
    {
        QFETCH(bool, comma);
        if (comma && !decimalComma_)
            QSKIP("no de_DE.UTF-8 locale here (scripts/setup.sh makes one)");
        std::setlocale(LC_NUMERIC, comma ? "de_DE.UTF-8" : "C");
        std::vector<double> values = {0.0,     -0.0,        0.00005, -0.00005,    0.03125,
                                      1.00005, 99999.99995, 1e8,     123456789.5, 1e300,
                                      -1e300,  5e-324,      NAN,     -NAN,        HUGE_VAL};
        std::mt19937_64 random(6);
        for (int i = 0; i < 100000; ++i) {
            const double k = double(std::int64_t(random() % 2000000000) - 1000000000);
            values.push_back(k / 10000);         // what a logger's file holds
            values.push_back((k + 0.5) / 10000); // and the ties between
            values.push_back(std::ldexp(double(random() >> 11), -int(random() % 80)));
            const std::uint64_t bits = random();
            std::memcpy(&values.emplace_back(), &bits, sizeof bits);
        }
        char mine[NumberBufferSize], theirs[NumberBufferSize];
        for (double v : values) {
            for (const char* format : {"%9.4f", "%g"}) {
                std::snprintf(theirs, sizeof theirs, format, v);
                const int n = format[1] == 'g' ? FormatGeneral(mine, v) : FormatFixed9_4(mine, v);
                if (QByteArray(mine, n) != QByteArray(theirs).replace(',', '.'))
                    QFAIL(QByteArray::number(v, 'g', 17) + ": " + QByteArray(mine, n));
            }
        }
    }

    // A trigger marks the first sample at or after it, two before one sample
    // mark it and the next; the marks read back as triggers on those samples.
    void triggerMarks()
    {
        Rig r;
        Fill(r.store.Set(0).samples, {}, {0, 1, 2, 3, 4, 5});
        Fill(r.store.Set(0).triggers->samples, {-1, 2, 3.2, 3.4, 20}, {9, 9, 9, 9, 9});
        QVERIFY(r.Load(SetFileBytes(r.store, 0, r.plot)).ok());
        QVERIFY(r.Last().triggers->visible);
        QCOMPARE(r.Last().triggers->samples.altitude, (std::vector<double>{0, 2, 4, 5}));
    }

    // How a set block reads: its header, peak and trigger columns, line ends,
    // names cut to 19 characters (never inside one), and lines skipped: those
    // that do not parse take no sample slot, climb marks need their samples.
    void setBlockShapes_data() { AddRows("data/set-blocks.txt", "\t"); }
    void setBlockShapes()
    {
        QFETCH(QStringList, f);
        const int skipped = f[4].toInt();
        Rig r;
        const LoadResult result = r.Load(QByteArray::fromPercentEncoding(f[0].toLatin1()));
        QCOMPARE(result.setsAdded, 1);
        QCOMPARE(result.skippedLines, skipped);
        QCOMPARE(result.warning.isEmpty(), skipped == 0);
        QCOMPARE(r.store.Names()->stringList().last() + r.Last().note1, f[1]);
        QStringList peaks;
        for (int mark : r.Last().samples.peakMarks)
            peaks << QString::number(mark);
        QCOMPARE(peaks.join(' '), f[2]);
        QCOMPARE(r.Last().triggers->samples.Count(), f[3].toInt());
    }

    // Not one line that reads as data: refused, no set made, the plot's
    // texts kept. Otherwise loaded, what was skipped told with the file's name.
    void refusedOrLoaded_data() { AddRows("data/loads.txt", "\t"); }
    void refusedOrLoaded()
    {
        QFETCH(QStringList, f);
        Rig r;
        r.plot.Title = "Mine";
        const LoadResult result = LoadDataBytes(QByteArray::fromPercentEncoding(f[0].toLatin1()),
                                                r.store, r.plot, MaxSetsPerLoad, "x.csv");
        if (f[1] == "refused") {
            QCOMPARE(result.error, "Unable to open x.csv!\n" + f[2]);
            QCOMPARE(r.store.SetCount(), 1);
            QCOMPARE(r.plot.Title, QString("Mine"));
            return;
        }
        QCOMPARE(result.error, QString());
        QCOMPARE(QString("%1 %2").arg(result.setsAdded).arg(result.skippedLines), f[2]);
        QCOMPARE(r.store.SetCount(), 1 + result.setsAdded);
        QCOMPARE(result.warning.startsWith("In x.csv:\n"), result.skippedLines > 0);
    }

    // An axis that would not draw keeps the window's.
    void plotWindow_data() { AddRows("data/plot-window.txt", ";"); }
    void plotWindow()
    {
        QFETCH(QStringList, f);
        Rig r;
        QVERIFY(r.Load(Crlf("Vexa Plot|#|#|#|#|#|#|" + f[0].toLatin1())).ok());
        const PlotView& v = r.plot.view;
        QCOMPARE(QString("%1 %2 %3 %4")
                     .arg(v.TimeMin)
                     .arg(v.TimeMax)
                     .arg(v.AltitudeMin)
                     .arg(v.AltitudeMax),
                 f[1]);
    }

    // Whatever flags, encoding, colours (a system colour is written
    // negative), styles and marks a file has, saving it again writes the
    // same; the Windows plot comes from a copy of the program on Windows-1252.
    void filesSaveBackUnchanged_data() { AddRows("data/save-back.txt", "|", "row"); }
    void filesSaveBackUnchanged()
    {
        QFETCH(QStringList, row);
        const QByteArray bytes = TestData("files/" + row[0]);
        Rig r;
        const LoadResult loaded = r.Load(bytes);
        QVERIFY(loaded.ok() && loaded.warning.isEmpty());
        QCOMPARE(r.Last().name,
                 QString::fromUtf8(QByteArray::fromPercentEncoding(row[1].toLatin1())));
        r.store.DeleteDataSet(0); // the start-up set
        QCOMPARE(loaded.plotFile ? PlotFileBytes(r.store, r.plot)
                                 : SetFileBytes(r.store, 0, r.plot),
                 bytes);
    }

    // One byte a character while Windows-1252 holds them all, else UTF-8.
    // Reading takes bytes that are not UTF-8 as Windows-1252.
    void textBoundaries_data() { AddRows("data/text.txt"); }
    void textBoundaries()
    {
        QFETCH(QStringList, f);
        const QByteArray bytes = QByteArray::fromPercentEncoding(f[1].toLatin1());
        const QString text = QString::fromUtf8(QByteArray::fromPercentEncoding(f[0].toLatin1()));
        if (f[2] == "1")
            QCOMPARE(EncodeFileText(text), bytes);
        QCOMPARE(DecodeFileText(bytes), text);
    }

    void limits()
    {
        QByteArray body = Crlf("Vexa Plot|#|#|#|#|#|#|#0,0,1,1|! 0, 1, 0, 0, 0, 7|#S|#|#|#|#|#|#");
        for (int i = 0; i < SampleBlock::Capacity; ++i)
            body += QByteArray::number(i) + ", 1, 0\r\n";
        // A full set keeps its climb marks and the sets after it.
        Rig r;
        LoadResult result = r.Load(body + Crlf("#C 0, 65535|! 0, 1, 0, 0, 0, 7|#Next"));
        QCOMPARE(result.setsAdded, 2);
        QVERIFY(r.store.Set(1).climbMarks[0].used);
        // One sample more ends the reading there.
        Rig o;
        result = o.Load(body + Crlf("5, 5, 0|#C 0, 1|! 0, 1, 0, 0, 0, 7|#Next"));
        QCOMPARE(result.setsAdded, 1);
        QVERIFY(result.stoppedAtCapacity && !result.warning.isEmpty());
        QCOMPARE(o.Last().samples.time.back(), 65535.0);
        // A few bytes per set must not claim gigabytes.
        DataSetStore store;
        result = LoadDataBytes(Crlf("Vexa Plot|#|#|#|#|#|#|#0,0,1,1|!|!|!"), store, r.plot, 2);
        QCOMPARE(store.SetCount(), 2);
        QVERIFY(result.stoppedAtSetLimit);
    }

    void failedSaveKeepsOldFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("Plot.csv");
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly) && old.write("old\r\n") == 5);
        old.close();
        Rig r;
        r.store.Set(0).samples.Resize(SampleBlock::Capacity);
        const QString missing = dir.filePath("no/such/folder/Plot.csv");
        QCOMPARE(LoadDataFile(missing, r.store, r.plot).error,
                 QString("Unable to open %1!\nNo such file or directory").arg(missing));
        QCOMPARE(SavePlot(missing, r.store, r.plot).error.section('\n', 0, 0),
                 QString("Unable to open %1!").arg(missing));
        QVERIFY(!SavePlot(missing, r.store, r.plot).error.section('\n', 1).isEmpty());
        QVERIFY(!SaveActiveSet(path, r.store, -1, r.plot).ok);
#ifdef Q_OS_UNIX
        // A file size limit fails the write halfway, as a full disk does, also for root.
        rlimit saved{};
        getrlimit(RLIMIT_FSIZE, &saved);
        rlimit small{4096, saved.rlim_max};
        const auto handler = std::signal(SIGXFSZ, SIG_IGN);
        QVERIFY(setrlimit(RLIMIT_FSIZE, &small) == 0);
        const SaveResult result = SavePlot(path, r.store, r.plot);
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, handler);
        QVERIFY2(result.error.startsWith(QString("Unable to write %1!").arg(path)),
                 qPrintable(result.error));
#endif
        QVERIFY(old.open(QIODevice::ReadOnly));
        QCOMPARE(old.readAll(), QByteArray("old\r\n"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"Plot.csv"});
    }

private:
    QLocale savedLocale_;
    std::string savedNumeric_;
    bool decimalComma_ = false;
};

QTEST_GUILESS_MAIN(TestDataFile)
#include "tst_datafile.moc"
