#include "Samples.h"
#include "TextRecorder.h"
#include "plot/ColumnReduction.h"
#include "plot/RenderPlot.h"

#include <QImage>
#include <QPainter>
#include <QtTest>
#include <cmath>
#include <functional>
#include <random>
#include <tuple>

using namespace vexa;

namespace {

constexpr ColorRef Line = Rgb(220, 20, 60);
constexpr ColorRef Point = Rgb(0, 150, 130);
constexpr ColorRef Grid = Rgb(90, 90, 200);
constexpr ColorRef Label = Rgb(0, 160, 0);
constexpr ColorRef Info = Rgb(200, 0, 200);
constexpr ColorRef Background = Rgb(255, 255, 224);

// A plot with its own store, 750 x 461 on screen by default; sets start
// empty in the window 0 ... 20.
struct Scene {
    DataSetStore store;
    PlotRecord record;
    OutputSettings out;
    ShowFlags show;
    PlotRect rect; // of the last Render
    int dpi;

    explicit Scene(int d = 96, double widthInches = 750.0 / 96, double heightInches = 461.0 / 96)
        : out{widthInches, heightInches}, dpi(d)
    {
        record.store = &store;
        record.GridColor = Grid;
        record.LabelColor = Label;
        record.InfoColor = Info;
        record.BGColor = Background;
        show.ShowInfo = false;
    }

    DataSetRecord& AddSet(std::initializer_list<std::pair<double, double>> samples)
    {
        DataSetRecord& r = store.NewDataSet();
        r.lineColor = Line;
        r.pointColor = Point;
        r.samples.Clear();
        for (const auto& [t, a] : samples)
            r.samples.Append(t, a);
        return r;
    }

    QImage Render(LineDrawing lines = LineDrawing::PerColumn)
    {
        const DrawingArea a = ComputeDrawingArea(dpi, dpi, out);
        QImage image(a.W, a.H, QImage::Format_RGB32);
        image.fill(Qt::black);
        QPainter p(&image);
        rect = RenderPlot(p, dpi, dpi, out, record, show, nullptr, lines);
        return image;
    }

    QRect DataArea() const
    {
        return QRect(QPoint(rect.plotLeft + 1, rect.plotTop + 1),
                     QPoint(rect.plotRight - 1, rect.plotBottom - 1));
    }
};

int Count(const QImage& image, const QRect& area, ColorRef color)
{
    const QRgb wanted = ToQColor(color).rgb();
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            n += image.pixel(x, y) == wanted;
    return n;
}

int Differing(const QImage& a, const QImage& b)
{
    int n = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            n += a.pixel(x, y) != b.pixel(x, y);
    return n;
}

} // namespace

class TestRenderPlot : public QObject {
    Q_OBJECT

private slots:
    // Window min and max; then step, first and last tick, decimals.
    void chooseTicks_data()
    {
        QTest::addColumn<QList<double>>("t");
        QTest::newRow("0..20") << QList<double>{0, 20, 2, 0, 20, 1};
        QTest::newRow("0..1000") << QList<double>{0, 1000, 100, 0, 1000, 0};
        QTest::newRow("100..5000 starts at a whole step")
            << QList<double>{100, 5000, 490, 490, 4900, 0};
        QTest::newRow("0..1.5 doubles the step") << QList<double>{0, 1.5, 0.2, 0, 1.4, 1};
        QTest::newRow("-15..25") << QList<double>{-15, 25, 4, -12, 24, 1};
        QTest::newRow("0..1.2") << QList<double>{0, 1.2, 0.1, 0, 1.2, 2};
        QTest::newRow("0..0.9") << QList<double>{0, 0.9, 0.09, 0, 0.9, 2};
        QTest::newRow("empty window counts as one unit") << QList<double>{5, 5, 0.1, 5, 6, 2};
        QTest::newRow("inverted window too") << QList<double>{7, 3, 0.1, 7, 8, 2};
    }

    void chooseTicks()
    {
        QFETCH(QList<double>, t);
        const Ticks ticks = ChooseTicks(t[0], t[1]);
        const double step = t[2], first = t[3], last = t[4];
        QCOMPARE(ticks.step, step);
        QCOMPARE(ticks.first, first);
        QVERIFY2(std::abs(ticks.last - last) < step * 1e-6,
                 qPrintable(QString::number(ticks.last)));
        QCOMPARE(ticks.decimals, int(t[5]));
        QCOMPARE(ticks.count, int(std::round((last - first) / step)) + 1);
    }

    void averageClimb_data()
    {
        QTest::addColumn<double>("from");
        QTest::addColumn<double>("to");
        QTest::addColumn<double>("climb");
        // Samples at 0, 1, ..., 10 s climbing 3 per second up to 5 s, then falling 1.
        QTest::newRow("whole set") << -5.0 << 50.0 << 1.0;
        QTest::newRow("climb only") << 0.0 << 5.0 << 3.0;
        QTest::newRow("between samples") << 4.5 << 7.5 << -1.0;
        QTest::newRow("one sample, no time") << 3.0 << 3.0 << 0.0;
        QTest::newRow("no sample") << 20.0 << 30.0 << 0.0;
    }

    void averageClimb()
    {
        QFETCH(double, from);
        QFETCH(double, to);
        QFETCH(double, climb);
        DataSetRecord r(true);
        vexa::test::FillWith(r.samples, 11, [](int i) {
            return std::pair(double(i), i <= 5 ? 3.0 * i : 15.0 - (i - 5));
        });
        QCOMPARE(AverageClimb(r, from, to), climb);
    }

    void colourAndBlackAndWhite()
    {
        Scene s;
        s.AddSet({{2, 5}, {10, 15}, {18, 8}});
        DataSetRecord& dot = s.AddSet({{10, 10}});
        dot.lineStyle = LineNone;
        dot.pointStyle = PointDot;
        const QImage colour = s.Render();
        const QRect data = s.DataArea();
        const QRect title(0, s.rect.titleTop, colour.width(), 20);
        QVERIFY(Count(colour, data, Line) > 100);
        QVERIFY(Count(colour, data, Background) > 100000);
        QCOMPARE(QColor(colour.pixel(s.rect.plotLeft, 200)), ToQColor(Grid));
        QVERIFY(Count(colour, title, Label) > 50);

        s.out.color = false;
        const QImage mono = s.Render();
        QCOMPARE(Count(mono, data, Line), 0);
        QVERIFY(Count(mono, data, Rgb(0, 0, 0)) > 100);
        QCOMPARE(Count(mono, data, Background), 0);
        QCOMPARE(QColor(mono.pixel(s.rect.plotLeft, 200)), QColor(Qt::black));
        QVERIFY(Count(mono, title, Label) > 50);
        // A dot is a pixel of the set's own colour either way.
        const QPoint at(s.rect.plotLeft + MapTime(s.record.view, s.rect, 10),
                        s.rect.plotTop + MapAltitude(s.record.view, s.rect, 10));
        QCOMPARE(QColor(mono.pixel(at)), ToQColor(Point));
    }

    void solidLineWidth_data()
    {
        QTest::addColumn<int>("dpi");
        QTest::addColumn<int>("width");
        QTest::newRow("screen") << 96 << 2;
        QTest::newRow("450 dpi") << 450 << 3;
        QTest::newRow("600 dpi printer") << 600 << 4;
    }

    void solidLineWidth()
    {
        QFETCH(int, dpi);
        QFETCH(int, width);
        Scene s(dpi, 2.0, 1.5);
        s.AddSet({{0, 10.3}, {20, 10.3}});
        const QImage image = s.Render();
        const int x = (s.rect.plotLeft + s.rect.plotRight) / 2;
        QCOMPARE(Count(image, QRect(x, 0, 1, image.height()), Line), width);
    }

    void climbMarks_data()
    {
        QTest::addColumn<double>("firstTime");
        QTest::addColumn<double>("lastTime");
        QTest::addColumn<bool>("drawn");
        QTest::newRow("inside the window") << 4.0 << 16.0 << true;
        QTest::newRow("ends on the window's edge") << 4.0 << 20.0 << true;
        QTest::newRow("ends after the window") << 4.0 << 21.0 << false;
        QTest::newRow("starts before the window") << -1.0 << 16.0 << false;
    }

    void climbMarks()
    {
        QFETCH(double, firstTime);
        QFETCH(double, lastTime);
        QFETCH(bool, drawn);
        Scene s;
        DataSetRecord& r = s.AddSet({{firstTime, 5}, {10, 10}, {lastTime, 12}});
        r.climbMarks[3] = ClimbMark{0, 2, true};
        r.climbMarks[4] = ClimbMark{0, 70000, true}; // no such sample: ignored
        const QImage image = s.Render();
        QCOMPARE(Count(image, s.DataArea(), Info) > 0, drawn);
    }

    // No store and an empty one draw the same frame; a set brings the text in.
    void emptyStoreDrawsFrameOnly()
    {
        Scene s;
        s.show.ShowAvgROC = true;
        const QImage empty = s.Render();
        s.record.store = nullptr;
        QCOMPARE(Differing(empty, s.Render()), 0);
        s.record.store = &s.store;
        s.AddSet({});
        QVERIFY(Differing(empty, s.Render()) > 0);
    }

    // What the picture says: tick labels with the digits their step needs,
    // peak labels with two decimals.
    void labels_data()
    {
        QTest::addColumn<double>("timeMax");
        QTest::addColumn<QStringList>("timeLabels");
        QStringList twenty, unit;
        for (int i = 0; i <= 10; ++i)
            twenty << QString::asprintf("%.1f", 2.0 * i);
        for (int i = 0; i <= 12; ++i)
            unit << QString::asprintf("%.2f", 0.1 * i);
        QTest::newRow("0 to 20") << 20.0 << twenty;
        QTest::newRow("about one unit") << 1.2 << unit;
    }

    void labels()
    {
        QFETCH(double, timeMax);
        QFETCH(QStringList, timeLabels);
        Scene s;
        s.record.view.TimeMax = timeMax;
        s.AddSet({{0.2, 5}, {0.5, 10.256}, {0.8, 8}}).samples.peakMarks[1] = 1;
        vexa::test::TextRecorder device(750, 461, 96);
        QPainter p(&device);
        RenderPlot(p, 96, 96, s.out, s.record, s.show, nullptr);
        p.end();
        const QStringList texts = device.strings();
        QVERIFY(texts.contains("10.26"));
        const qsizetype first = texts.indexOf(timeLabels.first());
        QCOMPARE(texts.mid(first, timeLabels.size()), timeLabels);
    }

    // Windows typed into the scale dialog are taken as they are.
    void unusableWindowsStillDraw_data()
    {
        QTest::addColumn<double>("min");
        QTest::addColumn<double>("max");
        QTest::newRow("empty") << 5.0 << 5.0;
        QTest::newRow("inverted") << 20.0 << 0.0;
        QTest::newRow("not a number") << qQNaN() << 1.0;
        QTest::newRow("endless") << 0.0 << qInf();
        QTest::newRow("wider than a double") << -1e308 << 1e308;
        QTest::newRow("finer than the values") << 1e17 << 1e17 + 64;
    }

    void unusableWindowsStillDraw()
    {
        QFETCH(double, min);
        QFETCH(double, max);
        Scene s;
        s.record.view = {min, max, min, max};
        DataSetRecord& r = s.AddSet({});
        r.pointStyle = PointSquare;
        vexa::test::FillWith(r.samples, 5000,
                             [](int i) { return std::pair(i * 1e13, i % 7 * 1e14); });
        r.samples.peakMarks[10] = 1;
        r.climbMarks[0] = ClimbMark{0, 4999, true};
        // Finishes, the sanitizers have nothing to say, the painter is left as it was.
        QImage image(750, 461, QImage::Format_RGB32);
        QPainter p(&image);
        QCOMPARE(RenderPlot(p, 96, 96, s.out, s.record, s.show, nullptr),
                 ComputePlotRect(96, 96, s.out));
        QCOMPARE(p.pen().width(), 1);
        QVERIFY(!p.hasClipping());
    }

    // The data line is drawn from column runs; it must match a polyline
    // through every sample to the pixel, give or take the odd bevel join.
    // Sample i lies at start + (i % period) * step + (i / period) * jump seconds
    // and 10 + swing * sin(i / wave) + noise units.
    void reductionMatchesEverySample_data()
    {
        QTest::addColumn<int>("dpi");
        QTest::addColumn<int>("n");
        QTest::addColumn<QList<double>>("shape"); // start step period jump swing wave noise
        const int full = SampleBlock::Capacity;
        QTest::newRow("noisy flight, every slot")
            << 96 << full << QList<double>{0, 20.0 / full, 1e9, 0, 8, full * 0.15, 0.05};
        QTest::newRow("time jumping back 4 s every 300 samples")
            << 96 << 20000 << QList<double>{0, 0.02, 300, 0.2, 6, 900, 0.6};
        QTest::newRow("samples all around the window")
            << 96 << 20000 << QList<double>{-5, 30.0 / 20000, 1e9, 0, 14, 700, 0.6};
        QTest::newRow("600 dpi page")
            << 600 << 20000 << QList<double>{0, 0.02, 300, 0.2, 6, 900, 0.6};
    }

    void reductionMatchesEverySample()
    {
        QFETCH(int, dpi);
        QFETCH(int, n);
        QFETCH(QList<double>, shape);
        Scene s(dpi, dpi == 96 ? 750.0 / 96 : 2.5, dpi == 96 ? 461.0 / 96 : 1.5);
        std::mt19937 random(7);
        std::normal_distribution<double> noise(0.0, shape[6]);
        DataSetRecord& r = s.AddSet({});
        r.timeScale = 1.01;
        r.altitudeOffset = 0.25;
        const int period = int(std::min(shape[2], 1e9));
        vexa::test::FillWith(r.samples, n, [&](int i) {
            return std::pair(shape[0] + (i % period) * shape[1] + (i / period) * shape[3],
                             10 + shape[4] * std::sin(i / shape[5]) + noise(random));
        });
        const QImage reduced = s.Render(LineDrawing::PerColumn);
        const QImage everySample = s.Render(LineDrawing::EverySample);
        const int differing = Differing(reduced, everySample);
        const int limit = reduced.width() * reduced.height() / 200;
        const int linePixels = Count(everySample, s.DataArea(), Line);
        QVERIFY(linePixels > 500);
        // At most 0.5% of the picture, and lost pieces of line would show
        // against the line's own pixels long before that.
        QVERIFY2(differing <= limit && differing <= linePixels / 100,
                 qPrintable(QString("%1 pixels differ").arg(differing)));
    }

    void columnRunsKeepOrderAndBackwardSteps()
    {
        // One pixel per second, one per unit of altitude: y = 99 - altitude.
        const PlotView window{0, 10, 0, 100};
        PlotRect rect;
        rect.plotRight = 10;
        rect.plotBottom = 100;
        DataSetRecord r(true);
        const std::vector<std::pair<double, double>> samples = {
            {0.1, 50},      {0.5, 80}, {0.7, 20}, {0.9, 60}, // high before low
            {1.2, 10},                                       //
            {0.3, 90},                                       // back into column 0
            {3.1, 70},      {3.2, 10}, {3.3, 95}, {3.4, 50}, // low before high
            {4.5, qQNaN()}, {4.6, 40},                       // NaN sits below the window
        };
        vexa::test::FillWith(r.samples, int(samples.size()),
                             [&](int i) { return samples[std::size_t(i)]; });
        std::vector<ColumnRun> runs;
        ColumnRuns(r, r.samples.Count(), PlotMapping(window, rect), QPoint(0, 0), true, runs);
        std::vector<QPoint> polyline;
        RunsToPolyline(runs, polyline);
        const std::vector<QPoint> expected = {{0, 49}, {0, 19}, {0, 79},  {0, 39},
                                              {1, 89}, {0, 9},  {3, 29},  {3, 89},
                                              {3, 4},  {3, 49}, {4, 100}, {4, 59}};
        QCOMPARE(polyline, expected);
    }
};

QTEST_MAIN(TestRenderPlot)
#include "tst_renderplot.moc"
