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
using vexa::test::Fill;
using vexa::test::TestData;

namespace {

QByteArray Crlf(std::initializer_list<const char*> lines)
{
    QByteArray out;
    for (const char* l : lines)
        out += QByteArray(l) + "\r\n";
    return out;
}

PlotFileHeader StartPlot()
{
    PlotFileHeader p;
    p.Title = "Altitude versus Time";
    p.XAxisLabel = "Time (sec)";
    p.YAxisLabel = "Altitude (Feet)";
    return p;
}

QByteArray SetFile(std::initializer_list<const char*> samples, const char* window = "#0,0,20,20,0")
{
    QByteArray out = Crlf({"#Set", "#", "#", "#", "#", "#", window});
    for (const char* s : samples)
        out += QByteArray(s) + "\r\n";
    return out;
}

// A store holding the start-up set, and loads into it.
struct Rig {
    DataSetStore store;
    PlotFileHeader plot = StartPlot();
    Rig() { store.NewDataSet(); }
    LoadResult Load(const QByteArray& bytes) { return LoadDataBytes(bytes, store, plot); }
    const DataSetRecord& Last() const { return store.Set(store.SetCount() - 1); }
};

QList<int> PeakMarks(const DataSetRecord& r)
{
    QList<int> out;
    for (int i = 0; i < r.samples.Count(); ++i)
        out << r.samples.peakMarks[std::size_t(i)];
    return out;
}

QList<int> UsedClimbSlots(const DataSetRecord& r)
{
    QList<int> out;
    for (int i = 0; i < ClimbMarkSlots; ++i)
        if (r.climbMarks[std::size_t(i)].used)
            out << i;
    return out;
}

struct LocaleScope {
    QLocale savedQt;
    std::string savedC = std::setlocale(LC_NUMERIC, nullptr);
    ~LocaleScope()
    {
        QLocale::setDefault(savedQt);
        std::setlocale(LC_NUMERIC, savedC.c_str());
    }
};

bool SetCommaLocale()
{
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "ru_RU.UTF-8"})
        if (std::setlocale(LC_NUMERIC, name) && std::localeconv()->decimal_point[0] == ',')
            return true;
    return false;
}

} // namespace

class TestDataFile : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { std::setlocale(LC_NUMERIC, "C"); }

    void freshSetBytes_data()
    {
        QTest::addColumn<int>("locale");
        QTest::newRow("C") << 0;
        QTest::newRow("German QLocale") << 1;
        QTest::newRow("German C library") << 2;
    }
    void freshSetBytes()
    {
        QFETCH(int, locale);
        LocaleScope scope;
        if (locale >= 1)
            QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        if (locale == 2 && !SetCommaLocale())
            QSKIP("no decimal-comma locale installed (localedef -i de_DE -f UTF-8 de_DE.UTF-8)");

        QTemporaryDir dir;
        const QString path = dir.filePath("Alt.csv");
        DataSetStore store;
        store.NewDataSet();
        const SaveResult saved = SaveActiveSet(path, store, store.ActiveSet(), StartPlot());
        QVERIFY2(saved.ok, qPrintable(saved.error));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), TestData("fresh-set.csv"));
        char buf[NumberBufferSize];
        QCOMPARE(QByteArray(buf, FormatFixed9_4(buf, 0.1)), QByteArray("   0.1000"));

        PlotFileHeader plot = StartPlot();
        QVERIFY(LoadDataFile(path, store, plot).ok());
        QCOMPARE(store.Set(1).samples.altitude[20], 20.0);
        QCOMPARE(SetFileBytes(store, 1, StartPlot()), TestData("fresh-set.csv"));
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
            double any;
            std::memcpy(&any, &bits, sizeof any);
            values.push_back(any);
        }
        char mine[NumberBufferSize], theirs[NumberBufferSize];
        for (double v : values) {
            for (const char* format : {"%9.4f", "%g"}) {
                std::snprintf(theirs, sizeof theirs, format, v);
                const int n = format[1] == 'g' ? FormatGeneral(mine, v) : FormatFixed9_4(mine, v);
                if (QByteArray(mine, n) != theirs)
                    QFAIL(QByteArray::number(v, 'g', 17) + ": " + QByteArray(mine, n) + " for " +
                          theirs);
            }
        }
    }

    void triggerMarks_data()
    {
        QTest::addColumn<QList<double>>("triggers");
        QTest::addColumn<QList<int>>("marked");
        QTest::newRow("at the third sample") << QList<double>{2.0} << QList<int>{2};
        QTest::newRow("between samples") << QList<double>{2.5} << QList<int>{3};
        QTest::newRow("two before one sample") << QList<double>{2.2, 2.4} << QList<int>{3, 4};
        QTest::newRow("before the first") << QList<double>{-1.0} << QList<int>{0};
        QTest::newRow("after the last") << QList<double>{20.0} << QList<int>{};
    }
    void triggerMarks()
    {
        QFETCH(QList<double>, triggers);
        QFETCH(QList<int>, marked);
        Rig r;
        DataSetRecord& set = r.store.Set(0);
        Fill(set.samples, {0, 1, 2, 3, 4, 5}, {10, 11, 12, 13, 14, 15});
        Fill(set.triggers->samples, {triggers.begin(), triggers.end()},
             std::vector<double>(std::size_t(triggers.size()), 99));
        const QList<QByteArray> lines = SetFileBytes(r.store, 0, r.plot).split('\n');
        QCOMPARE(lines[6], QByteArray("#0,0,20,20,1\r"));
        for (int i = 0; i < 6; ++i)
            QCOMPARE(lines[7 + i], QByteArray::number(i).rightJustified(4) + ".0000,   " +
                                       QByteArray::number(10 + i) + ".0000, " +
                                       (marked.contains(i) ? "1" : "0") + ", 0\r");

        QVERIFY(r.Load(SetFileBytes(r.store, 0, r.plot)).ok());
        const SampleBlock& back = r.Last().triggers->samples;
        QVERIFY(r.Last().triggers->visible);
        QCOMPARE(back.Count(), marked.size());
        for (int j = 0; j < marked.size(); ++j) {
            QCOMPARE(back.time[std::size_t(j)], double(marked[j]));
            QCOMPARE(back.altitude[std::size_t(j)], double(10 + marked[j]));
        }
    }

    void climbMarksFillFirstSlots()
    {
        Rig r;
        r.store.Set(0).climbMarks[0] = {3, 7, true};
        r.store.Set(0).climbMarks[5] = {9, 2, true};
        const QByteArray bytes = SetFileBytes(r.store, 0, r.plot);
        QVERIFY(bytes.endsWith("  20.0000, 0\r\n#C 3, 7\r\n#C 9, 2\r\n"));
        QVERIFY(r.Load(bytes).ok());
        QCOMPARE(UsedClimbSlots(r.Last()), (QList<int>{0, 1}));
        QCOMPARE(r.Last().climbMarks[1].firstSample, 9);
    }

    // Lines that do not parse take no sample slot and no climb slot.
    void badLinesSkipped_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::newRow("words") << QByteArray("time, altitude");
        QTest::newRow("time only") << QByteArray("1.5");
        QTest::newRow("semicolons") << QByteArray("2.0; 3.0; 0");
        QTest::newRow("space before comma") << QByteArray("2.0 , 3.0, 0");
        QTest::newRow("not a number") << QByteArray("nan, 3.0, 0");
        QTest::newRow("overflow") << QByteArray("1e999, 3.0, 0");
        QTest::newRow("climb without numbers") << QByteArray("#C x, 1");
        QTest::newRow("climb past the samples") << QByteArray("#C 0, 1");
        QTest::newRow("climb negative") << QByteArray("#C -1, 0");
    }
    void badLinesSkipped()
    {
        QFETCH(QByteArray, line);
        Rig r;
        const LoadResult result = r.Load(SetFile({"0.5, 10, 1", line.constData(), "1.0, 11"}));
        QCOMPARE(result.skippedLines, 1);
        QVERIFY(!result.warning.isEmpty());
        QCOMPARE(PeakMarks(r.Last()), (QList<int>{1, 0}));
        QCOMPARE(r.Last().samples.time[1], 1.0);
        QCOMPARE(UsedClimbSlots(r.Last()), QList<int>{});
    }

    void setBlockShapes_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("note1");
        QTest::addColumn<QList<int>>("peaks");
        QTest::addColumn<int>("triggers");
        QTest::newRow("headerless") << Crlf({"0, 5, 1", "0.1, 6, 0", "0.2, 7, 3"}) << "Data001"
                                    << "" << QList<int>{1, 0, 3} << 0;
        QTest::newRow("peaks past a byte still mark")
            << Crlf({"0, 5, 300", "0.1, 6, -2"}) << "Data001"
            << "" << QList<int>{1, 1} << 0;
        QTest::newRow("name line only") << Crlf({"#Trip", "0, 5, 0", "0.1, 6, 1"}) << "Trip"
                                        << "" << QList<int>{0, 1} << 0;
        QTest::newRow("four header lines")
            << Crlf({"#Trip", "#x", "#y", "#first note", "0, 5, 1"}) << "Trip"
            << "first note" << QList<int>{1} << 0;
        QTest::newRow("window of four values")
            << SetFile({"0, 5, 1, 0", "0.1, 6, 0, 0"}, "#0,0,20,20") << "Set"
            << "" << QList<int>{1, 0} << 0;
        QTest::newRow("window of five values")
            << SetFile({"0, 5, 1, 0", "0.1, 6, 0, 1"}, "#0,0,20,20, 1") << "Set"
            << "" << QList<int>{0, 1} << 1;
        QTest::newRow("mark without peak") << SetFile({"0, 5, 1"}, "#0,0,20,20,1") << "Set"
                                           << "" << QList<int>{0} << 1;
        QTest::newRow("empty file") << QByteArray() << "Data001"
                                    << "" << QList<int>{} << 0;
    }
    void setBlockShapes()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, name);
        QFETCH(QString, note1);
        QFETCH(QList<int>, peaks);
        QFETCH(int, triggers);
        Rig r;
        const LoadResult result = r.Load(file);
        QVERIFY(result.ok() && result.warning.isEmpty());
        QCOMPARE(result.setsAdded, 1);
        QCOMPARE(r.store.Names()->stringList().last(), name);
        QCOMPARE(r.Last().note1, note1);
        QCOMPARE(PeakMarks(r.Last()), peaks);
        QCOMPARE(r.Last().triggers->samples.Count(), triggers);
        QCOMPARE(r.plot.Title, StartPlot().Title); // a single set leaves the plot alone
    }

    void plotFileIntoStoreOfOne()
    {
        Rig source;
        for (int k = 0; k < 3; ++k) {
            DataSetRecord& set = k ? source.store.NewDataSet() : source.store.Set(0);
            set.name = QString("Flight %1").arg(k);
            set.lineColor = Rgb(10 * k, 20, 30);
            set.lineStyle = LineDash;
            set.pointStyle = PointCircle + k;
            set.triggers->pointColor = 0x80000005; // a system colour: written negative
            set.triggers->pointStyle = PointCross;
        }
        source.plot.Title = "Three flights";
        source.plot.view.TimeMin = -5;
        source.plot.view.AltitudeMax = 1234.5;
        const QByteArray bytes = PlotFileBytes(source.store, source.plot);
        QCOMPARE(bytes, TestData("three-flights.csv"));

        Rig r;
        const LoadResult result = r.Load(bytes);
        QVERIFY(result.plotFile);
        QCOMPARE(result.setsAdded, 3);
        QCOMPARE(r.store.ActiveSet(), 3);
        r.store.DeleteDataSet(0);
        QCOMPARE(PlotFileBytes(r.store, r.plot), bytes); // every field came back
        // Every set read went through NewDataSet: both counters moved on by three.
        const DataSetRecord& next = r.store.NewDataSet();
        QCOMPARE(next.name, QString("Data004"));
        QCOMPARE(next.lineColor, ColorCycle[4]);
    }

    void plotWindow_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QList<double>>("window"); // time min, max, altitude min, max
        QTest::newRow("four values") << QByteArray("#1,2,3,4") << QList<double>{1, 3, 2, 4};
        QTest::newRow("three values") << QByteArray("#1,2,3") << QList<double>{1, 3, 2, 20};
        QTest::newRow("time reversed") << QByteArray("#10,2,5,4") << QList<double>{0, 20, 2, 4};
        QTest::newRow("altitude empty") << QByteArray("#1,7,3,7") << QList<double>{1, 3, 0, 20};
        QTest::newRow("not numbers") << QByteArray("#a,b,c,d") << QList<double>{0, 20, 0, 20};
    }
    void plotWindow()
    {
        QFETCH(QByteArray, line);
        QFETCH(QList<double>, window);
        Rig r;
        QVERIFY(r.Load(Crlf({"Vexa Plot", "#", "#", "#", "#", "#", "#", line.constData()})).ok());
        QCOMPARE((QList<double>{r.plot.view.TimeMin, r.plot.view.TimeMax, r.plot.view.AltitudeMin,
                                r.plot.view.AltitudeMax}),
                 window);
    }

    // Everything the format keeps comes back; saving again gives the same bytes.
    void roundTrip()
    {
        Rig source;
        DataSetRecord& a = source.store.Set(0);
        a.name = QString::fromUtf8("Flug über Zürich am Morgen");
        a.note1 = QString::fromUtf8("Höhe – „gut“ €");
        a.note2 = QString::fromUtf8("Полёт"); // outside Windows-1252: kept as UTF-8
        Fill(a.samples, {0, 0.123456, 0.25, 0.375}, {-3.14159, 812.34567, 815, -0.00004});
        a.samples.peakMarks[2] = 1;
        a.climbMarks[2] = {0, 3, true};
        Fill(a.triggers->samples, {0.25}, {0});
        Fill(source.store.NewDataSet().samples, {10, 10.5}, {1e6, -1e6});
        source.plot.Title = QString::fromUtf8("Über");
        source.plot.view.TimeMax = 123.4567891;
        const QByteArray first = PlotFileBytes(source.store, source.plot);

        Rig r;
        QVERIFY(r.Load(first).ok());
        const DataSetRecord& b = r.store.Set(1);
        QCOMPARE(b.name, QString::fromUtf8("Flug über Zürich am"));
        QCOMPARE((QStringList{b.note1, b.note2}), (QStringList{a.note1, a.note2}));
        const double times[] = {0, 0.1235, 0.25, 0.375};
        const double alts[] = {-3.1416, 812.3457, 815, -0.0};
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(b.samples.time[std::size_t(i)], times[i]);
            QCOMPARE(b.samples.altitude[std::size_t(i)], alts[i]);
        }
        QVERIFY(std::signbit(b.samples.altitude[3]));
        QCOMPARE(PeakMarks(b), (QList<int>{0, 0, 1, 0}));
        QCOMPARE(UsedClimbSlots(b), QList<int>{0});
        QCOMPARE(b.triggers->samples.Count(), 1);
        QCOMPARE(b.triggers->samples.altitude[0], 815.0);
        QVERIFY(!r.store.Set(2).triggers->visible);
        QCOMPARE(r.store.Set(2).samples.altitude[1], -1e6);
        QCOMPARE(r.plot.Title, source.plot.Title);
        QCOMPARE(r.plot.view.TimeMax, 123.457);

        r.store.DeleteDataSet(0);
        QCOMPARE(PlotFileBytes(r.store, r.plot), QByteArray(first).replace(" am Morgen", " am"));
    }

    // Whatever flag a file gives its sets, saving it again writes the same.
    void filesSaveBackUnchanged_data()
    {
        QTest::addColumn<QString>("file");
        for (const char* file :
             {"fresh-set.csv", "downloaded-trigger-on.csv", "plot-trigger-flags.csv"})
            QTest::newRow(file) << file;
    }
    void filesSaveBackUnchanged()
    {
        QFile golden(QFINDTESTDATA("golden/" + QString(QTest::currentDataTag())));
        QVERIFY(golden.open(QIODevice::ReadOnly));
        const QByteArray bytes = golden.readAll();
        Rig r;
        const LoadResult loaded = r.Load(bytes);
        QVERIFY(loaded.ok() && loaded.warning.isEmpty());
        r.store.DeleteDataSet(0); // the start-up set
        QCOMPARE(loaded.plotFile ? PlotFileBytes(r.store, r.plot)
                                 : SetFileBytes(r.store, 0, r.plot),
                 bytes);
    }

    // From another copy of the program on Windows: Windows-1252 texts,
    // triggers, peaks, climb marks. Loaded and saved, not a byte moves.
    void windowsPlotFileResavedAsIs()
    {
        const QByteArray file = TestData("windows-plot.csv");
        DataSetStore store;
        PlotFileHeader plot;
        const LoadResult result = LoadDataBytes(file, store, plot);
        QCOMPARE(result.setsAdded, 2);
        QCOMPARE(plot.Info1, QString::fromUtf8("Field über dem See"));
        QCOMPARE(store.Set(1).name, QString::fromUtf8("Beta €\u0081"));
        QCOMPARE(PlotFileBytes(store, plot), file);
    }

    // Texts are UTF-8 when their bytes are, else Windows-1252; cut at whole
    // characters.
    void textDecodingAndCut_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QString>("name");
        QTest::newRow("UTF-8") << QByteArray("#Z\xC3\xBCrich") << QString::fromUtf8("Zürich");
        QTest::newRow("overlong") << QByteArray("#\xC0\xAF") << QString::fromUtf8("À¯");
        QTest::newRow("cut sequence") << QByteArray("#a\xC3") << QString::fromUtf8("aÃ");
        QTest::newRow("surrogate") << QByteArray("#\xED\xA0\x80") << QString::fromUtf8("í\u00A0€");
        QTest::newRow("long UTF-8")
            << "#" + QString(25, QChar(0xFC)).toUtf8() << QString(19, QChar(0xFC));
        QTest::newRow("long 1252") << "#" + QByteArray(25, '\xFC') << QString(19, QChar(0xFC));
        QTest::newRow("pair at the cut")
            << "#" + (QString(18, 'a') + QString::fromUtf8("😀")).toUtf8() << QString(18, 'a');
    }
    void textDecodingAndCut()
    {
        QFETCH(QByteArray, line);
        QFETCH(QString, name);
        Rig r;
        QVERIFY(r.Load(line + "\r\n0, 1\r\n").ok());
        QCOMPARE(r.Last().name, name);
    }

    // One byte a character while Windows-1252 holds them all, else UTF-8;
    // reading takes bytes that are not UTF-8 as Windows-1252.
    void textBoundaries_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("ASCII") << QString("a\x7F") << QByteArray("a\x7F");
        QTest::newRow("euro sign is byte 0x80") << QString::fromUtf8("a€") << QByteArray("a\x80");
        QTest::newRow("U+0080 is not in the code page")
            << QString(QChar(0x80)) << QByteArray("\xC2\x80");
        QTest::newRow("last byte") << QString(QChar(0xFF)) << QByteArray("\xFF");
        QTest::newRow("first character past it")
            << QString::fromUtf8("a\u0100") << QByteArray("a\xC4\x80");
    }
    void textBoundaries()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        QCOMPARE(EncodeFileText(text), bytes);
        QCOMPARE(DecodeFileText(bytes), text);
    }

    void lineEnds_data()
    {
        QTest::addColumn<QByteArray>("file");
        const QByteArray crlf =
            Crlf({"#Set", "#", "#", "#n", "#", "#", "#0,0,20,20,0", "1, 2, 0", "3, 4, 1"});
        QTest::newRow("CR LF") << crlf;
        QTest::newRow("LF") << QByteArray(crlf).replace("\r\n", "\n");
        QTest::newRow("mixed") << QByteArray(crlf).replace("#n\r\n", "#n\n");
        QTest::newRow("no final line end") << crlf.chopped(2);
        QTest::newRow("byte order mark") << "\xEF\xBB\xBF" + crlf;
    }
    void lineEnds()
    {
        QFETCH(QByteArray, file);
        Rig r;
        QVERIFY(r.Load(file).ok());
        QCOMPARE(r.Last().name + r.Last().note1, QString("Setn"));
        QCOMPARE(PeakMarks(r.Last()), (QList<int>{0, 1}));
        QCOMPARE(r.Last().samples.altitude[1], 4.0);
    }

    void limits()
    {
        QByteArray body =
            Crlf({"Vexa Plot", "#", "#", "#", "#", "#", "#", "#0,0,1,1", "! 0, 1, 0, 0, 0, 7"}) +
            SetFile({});
        for (int i = 0; i < SampleBlock::Capacity; ++i)
            body += QByteArray::number(i) + ", 1, 0\r\n";
        // A full set keeps its climb marks and the sets after it.
        Rig r;
        LoadResult result = r.Load(body + Crlf({"#C 0, 65535", "! 0, 1, 0, 0, 0, 7", "#Next"}));
        QCOMPARE(result.setsAdded, 2);
        QCOMPARE(r.store.Set(1).samples.Count(), SampleBlock::Capacity);
        QCOMPARE(UsedClimbSlots(r.store.Set(1)), QList<int>{0});
        // One sample more ends the reading there.
        Rig o;
        result = o.Load(body + Crlf({"5, 5, 0", "#C 0, 1", "! 0, 1, 0, 0, 0, 7", "#Next"}));
        QCOMPARE(result.setsAdded, 1);
        QVERIFY(result.stoppedAtCapacity && !result.warning.isEmpty());
        QCOMPARE(o.Last().samples.time[SampleBlock::Capacity - 1], 65535.0);
        QCOMPARE(UsedClimbSlots(o.Last()), QList<int>{});
        // A few bytes per set must not claim gigabytes.
        DataSetStore store;
        result = LoadDataBytes(Crlf({"V", "#", "#", "#", "#", "#", "#", "#0,0,1,1", "!", "!", "!"}),
                               store, r.plot, 2);
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
        QCOMPARE(SavePlot(missing, r.store, r.plot).error,
                 QString("Unable to open %1!").arg(missing));
        QCOMPARE(LoadDataFile(missing, r.store, r.plot).error,
                 QString("Unable to open %1!").arg(missing));
        QVERIFY(!SaveActiveSet(path, r.store, -1, r.plot).ok);
#ifdef Q_OS_UNIX
        // A file size limit fails the write halfway, as a full disk does, also for root.
        rlimit saved{};
        getrlimit(RLIMIT_FSIZE, &saved);
        rlimit small = saved;
        small.rlim_cur = 4096;
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
        QCOMPARE(r.store.SetCount(), 1);
    }

    void defaultNames_data()
    {
        QTest::addColumn<int>("selection");
        QTest::addColumn<QString>("name");
        QTest::newRow("first set") << 0 << "Alt_2026-03-07_1.csv";
        QTest::newRow("nothing selected") << -1 << "Alt_2026-03-07_0.csv";
        QTest::newRow("limit") << 512 << "Alt_2026-03-07_513.csv";
    }
    void defaultNames()
    {
        QFETCH(int, selection);
        QFETCH(QString, name);
        QCOMPARE(DefaultSetFileName(QDate(2026, 3, 7), selection), name);
        QCOMPARE(DefaultPlotFileName(QDate(2026, 3, 7)), QString("Plot_2026-03-07.csv"));
    }
};

QTEST_GUILESS_MAIN(TestDataFile)
#include "tst_datafile.moc"
