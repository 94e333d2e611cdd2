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

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#endif

using namespace vexa;
using vexa::test::Crlf;
using vexa::test::Fill;
using vexa::test::TestData;

namespace {

// Lines given apart by '|', each ended by CR LF.
QByteArray SetFile(const QByteArray& samples, const QByteArray& window = "#0,0,20,20,0")
{
    return Crlf("#Set|#|#|#|#|#|" + window + "|" + samples);
}

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

QList<int> PeakMarks(const DataSetRecord& r)
{
    return QList<int>(r.samples.peakMarks.begin(), r.samples.peakMarks.end());
}

} // namespace

class TestDataFile : public QObject {
    Q_OBJECT

private slots:
    // Every case runs where the user's locale writes decimal commas.
    void initTestCase()
    {
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
    }

    // The fast path must give printf's digits exactly: next to rounding
    // ties, for negative zero, and past its range.
    void numbersMatchPrintf()
    {
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
    void setBlockShapes_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("nameAndNote");
        QTest::addColumn<QList<int>>("peaks");
        QTest::addColumn<int>("triggers");
        QTest::addColumn<int>("skipped");
        auto row = [](const char* tag, const QByteArray& file, const QString& name,
                      QList<int> peaks, int triggers = 0, int skipped = 0) {
            QTest::newRow(tag) << file << name << peaks << triggers << skipped;
        };
        row("headerless", Crlf("0, 5, 1|0.1, 6, 0|0.2, 7, 9"), "Data001", {1, 0, 9});
        row("peaks past a byte mark", Crlf("0, 5, 300|0.1, 6, -2"), "Data001", {1, 1});
        row("four header lines", Crlf("#Trip|#x|#y|#note|0, 5, 1"), "Tripnote", {1});
        row("window of four values", SetFile("0, 5, 1, 0|0.1, 6, 0, 0", "#0,0,20,20"), "Set",
            {1, 0});
        row("window of five values", SetFile("0, 5, 1, 0|0.1, 6, 0, 1", "#0,0,20,20, 1"), "Set",
            {0, 1}, 1);
        row("mark without peak", SetFile("0, 5, 1", "#0,0,20,20,1"), "Set", {0}, 1);
        row("empty file", {}, "Data001", {});
        const QByteArray crlf = Crlf("#Set|#|#|#n|#|#|#0,0,20,20,0|1, 2, 0|3, 4, 1");
        row("LF", QByteArray(crlf).replace("\r\n", "\n"), "Setn", {0, 1});
        row("no final line end", crlf.chopped(2), "Setn", {0, 1});
        row("byte order mark", "\xEF\xBB\xBF" + crlf, "Setn", {0, 1});
        const QString u19(19, QChar(0xFC));
        row("UTF-8 name", Crlf("#" + QString(25, QChar(0xFC)).toUtf8() + "|0, 1"), u19, {0});
        row("1252 name", Crlf("#" + QByteArray(25, '\xFC') + "|0, 1"), u19, {0});
        row("pair at the cut", Crlf("#" + QString(18, 'a').toUtf8() + "\xF0\x9F\x98\x80|0, 1"),
            QString(18, 'a'), {0});
        for (const char* bad : {"time, altitude", "1.5", "2.0; 3.0; 0", "2.0 , 3.0, 0",
                                "nan, 3.0, 0", "1e999, 3.0, 0", "#C x, 1", "#C 0, 1", "#C -1, 0"})
            row(bad, SetFile("0.5, 10, 1|" + QByteArray(bad) + "|1.0, 11"), "Set", {1, 0}, 0, 1);
    }
    void setBlockShapes()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, nameAndNote);
        QFETCH(QList<int>, peaks);
        QFETCH(int, triggers);
        QFETCH(int, skipped);
        Rig r;
        const LoadResult result = r.Load(file);
        QCOMPARE(result.setsAdded, 1);
        QCOMPARE(result.skippedLines, skipped);
        QCOMPARE(result.warning.isEmpty(), skipped == 0);
        QCOMPARE(r.store.Names()->stringList().last() + r.Last().note1, nameAndNote);
        QCOMPARE(PeakMarks(r.Last()), peaks);
        QCOMPARE(r.Last().triggers->samples.Count(), triggers);
    }

    // An axis that would not draw keeps the window's.
    void plotWindow()
    {
        // The line, then time min, max, altitude min, max.
        const std::pair<QByteArray, QList<double>> cases[] = {{"#1,2,3,4", {1, 3, 2, 4}},
                                                              {"#1,2,3", {1, 3, 2, 20}},
                                                              {"#10,2,5,4", {0, 20, 2, 4}},
                                                              {"#1,7,3,7", {1, 3, 0, 20}},
                                                              {"#a,b,c,d", {0, 20, 0, 20}}};
        for (const auto& [line, window] : cases) {
            Rig r;
            QVERIFY(r.Load(Crlf("Vexa Plot|#|#|#|#|#|#|" + line)).ok());
            const PlotView& v = r.plot.view;
            QCOMPARE((QList<double>{v.TimeMin, v.TimeMax, v.AltitudeMin, v.AltitudeMax}), window);
        }
    }

    // Whatever flags, encoding, colours (a system colour is written
    // negative), styles and marks a file has, saving it again writes the
    // same; the Windows plot comes from a copy of the program on Windows-1252.
    void filesSaveBackUnchanged_data()
    {
        QTest::addColumn<QString>("lastName");
        QTest::newRow("fresh-set.csv") << "Data000";
        QTest::newRow("downloaded-trigger-on.csv") << "Data001";
        QTest::newRow("plot-trigger-flags.csv") << "No trigger";
        QTest::newRow("windows-plot.csv") << QString::fromUtf8("Beta €\u0081");
        QTest::newRow("all-fields-plot.csv") << "Data002";
    }
    void filesSaveBackUnchanged()
    {
        QFETCH(QString, lastName);
        const QByteArray bytes = TestData(QString("files/") + QTest::currentDataTag());
        Rig r;
        const LoadResult loaded = r.Load(bytes);
        QVERIFY(loaded.ok() && loaded.warning.isEmpty());
        QCOMPARE(r.Last().name, lastName);
        r.store.DeleteDataSet(0); // the start-up set
        QCOMPARE(loaded.plotFile ? PlotFileBytes(r.store, r.plot)
                                 : SetFileBytes(r.store, 0, r.plot),
                 bytes);
    }

    // One byte a character while Windows-1252 holds them all, else UTF-8.
    // Reading takes bytes that are not UTF-8 as Windows-1252.
    void textBoundaries()
    {
        const std::tuple<QString, QByteArray, bool> cases[] = {
            // text, bytes, written so
            {"a\x7F", "a\x7F", true},
            {QString::fromUtf8("a€"), "a\x80", true},
            {QString(QChar(0x80)), "\xC2\x80", true}, // U+0080 is not in the code page
            {QString(QChar(0xFF)), "\xFF", true},
            {QString::fromUtf8("a\u0100"), "a\xC4\x80", true},
            {QString::fromUtf8("Zürich"), "Z\xC3\xBCrich", false},
            {QString::fromUtf8("À¯"), "\xC0\xAF", false},            // overlong
            {QString::fromUtf8("aÃ"), "a\xC3", false},               // cut sequence
            {QString::fromUtf8("í\u00A0€"), "\xED\xA0\x80", false}}; // surrogate
        for (const auto& [text, bytes, written] : cases) {
            if (written)
                QCOMPARE(EncodeFileText(text), bytes);
            QCOMPARE(DecodeFileText(bytes), text);
        }
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
        result = LoadDataBytes(Crlf("V|#|#|#|#|#|#|#0,0,1,1|!|!|!"), store, r.plot, 2);
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
                 QString("Unable to open %1!").arg(missing));
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
};

QTEST_GUILESS_MAIN(TestDataFile)
#include "tst_datafile.moc"
