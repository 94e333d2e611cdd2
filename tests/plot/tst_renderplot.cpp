#include "Samples.h"
#include "TestData.h"
#include "TextRecorder.h"
#include "plot/ColumnReduction.h"
#include "plot/RenderPlot.h"

#include <QImage>
#include <QPainter>
#include <QtTest>
#include <cmath>
#include <random>
#include <tuple>

using namespace vexa;
using vexa::test::FillWith;

namespace {

constexpr ColorRef Line = Rgb(220, 20, 60);
constexpr ColorRef Point = Rgb(0, 150, 130);
constexpr ColorRef Background = Rgb(255, 255, 224);

// A plot with its own store, 750 x 461 on screen unless sized in inches;
// the window is 0 ... 20 both ways.
struct Scene {
    DataSetStore store;
    PlotRecord record;
    OutputSettings out;
    ShowFlags show{false};
    PlotRect rect; // of the last Render
    int dpi;

    explicit Scene(int d = 96, double w = 750.0 / 96, double h = 461.0 / 96) : out{w, h}, dpi(d)
    {
        record.store = &store;
        record.BGColor = Background;
    }

    DataSetRecord& AddSet(std::initializer_list<std::pair<double, double>> samples = {})
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

    // Pixels of `color` inside the frame of the data area, or the part of it in `region`.
    int Count(const QImage& image, ColorRef color, QRect region = {}) const
    {
        const QRgb wanted = ToQColor(color).rgb();
        QRect inside(QPoint(rect.plotLeft + 1, rect.plotTop + 1),
                     QPoint(rect.plotRight - 1, rect.plotBottom - 1));
        if (!region.isNull())
            inside &= region;
        int n = 0;
        for (int y = inside.top(); y <= inside.bottom(); ++y)
            for (int x = inside.left(); x <= inside.right(); ++x)
                n += image.pixel(x, y) == wanted;
        return n;
    }
};

} // namespace

class TestRenderPlot : public QObject {
    Q_OBJECT

private slots:
    void chooseTicks_data() { vexa::test::AddRows("plot/ticks.txt"); }
    void chooseTicks()
    {
        QFETCH(QStringList, f);
        const Ticks ticks =
            ChooseTicks(f[0].section(' ', 0, 0).toDouble(), f[0].section(' ', 1).toDouble());
        QList<double> t;
        for (const QString& n : f[1].split(' '))
            t << n.toDouble();
        QCOMPARE(QList<double>({ticks.step, ticks.first, double(ticks.decimals)}),
                 QList<double>({t[0], t[1], t[3]}));
        QVERIFY(std::abs(ticks.last - t[2]) < t[0] * 1e-6);
        QCOMPARE(ticks.count, int(std::round((t[2] - t[1]) / t[0])) + 1);
    }

    void averageClimb()
    {
        // Samples at 0, 1, ..., 10 s climbing 3 per second up to 5 s, then falling 1.
        DataSetRecord r(true);
        FillWith(r.samples, 11,
                 [](int i) { return std::pair(double(i), i <= 5 ? 3.0 * i : 15.0 - (i - 5)); });
        // From, to, climb; one sample or none gives no climb.
        const double cases[][3] = {{-5, 50, 1}, {4.5, 7.5, -1}, {3, 3, 0}, {20, 30, 0}};
        for (const auto& c : cases)
            QCOMPARE(AverageClimb(r, c[0], c[1]), c[2]);
    }

    // The line and the points each in their own colour, whichever the set has.
    void styles_data() { vexa::test::AddRows("plot/styles.txt"); }
    void styles()
    {
        QFETCH(QStringList, f);
        Scene s;
        DataSetRecord& r = s.AddSet({{2, 5}, {10, 10}, {18, 12}});
        r.lineStyle = f[0].toInt();
        r.pointStyle = f[1].toInt();
        const QImage image = s.Render();
        QCOMPARE(QList<bool>({s.Count(image, Line) > 0, s.Count(image, Point) > 0}),
                 QList<bool>({f[2] == "1", f[3] == "1"}));
    }

    // A climb mark is drawn only when both its ends are in the window.
    void climbMarks()
    {
        // First and last sample's time; whether the mark is drawn.
        const double cases[][3] = {{4, 20, 1}, {4, 21, 0}, {-1, 16, 0}};
        for (const auto& [first, last, drawn] : cases) {
            Scene s;
            DataSetRecord& r = s.AddSet({{first, 5}, {10, 10}, {last, 12}});
            r.climbMarks[3] = ClimbMark{0, 2, true};
            r.climbMarks[4] = ClimbMark{0, 70000, true}; // no such sample: ignored
            QCOMPARE(s.Count(s.Render(), s.record.InfoColor) > 0, drawn > 0);
        }
    }

    // Tick labels carry the digits their step needs, peak labels two decimals.
    void texts()
    {
        // The window's end; the time labels' format, step and count.
        const std::tuple<double, const char*, double, int> cases[] = {{20, "%.1f", 2, 11},
                                                                      {1.2, "%.2f", 0.1, 13}};
        for (const auto& [timeMax, format, step, count] : cases) {
            Scene s;
            s.record.view.TimeMax = timeMax;
            s.AddSet({{0.2, 5}, {0.5 * timeMax, 10.256}, {0.8, 8}}).samples.peakMarks[1] = 1;
            vexa::test::TextRecorder device(750, 461, 96);
            QPainter p(&device);
            RenderPlot(p, 96, 96, s.out, s.record, s.show, nullptr);
            p.end();
            QStringList labels;
            for (int i = 0; i < count; ++i)
                labels << QString::asprintf(format, i * step);
            const QStringList texts = device.strings();
            QVERIFY(texts.contains("10.26"));
            QCOMPARE(texts.mid(texts.indexOf(labels.first()), count), labels);
        }
    }

    // Windows typed into the scale dialog are taken as they are (empty,
    // inverted, not a number, endless, wider than a double, finer than the
    // values): drawing finishes and leaves the painter as it was.
    void unusableWindowsStillDraw()
    {
        const std::pair<double, double> windows[] = {
            {5, 5}, {20, 0}, {qQNaN(), 1}, {0, qInf()}, {-1e308, 1e308}, {1e17, 1e17 + 64}};
        for (const auto& [min, max] : windows) {
            Scene s;
            s.record.view = {min, max, min, max};
            s.show.ShowAvgROC = true;
            DataSetRecord& r = s.AddSet();
            r.pointStyle = PointSquare;
            FillWith(r.samples, 5000, [](int i) { return std::pair(i * 1e13, i % 7 * 1e14); });
            r.samples.peakMarks[10] = 1;
            r.climbMarks[0] = ClimbMark{0, 4999, true};
            QImage image(750, 461, QImage::Format_RGB32);
            QPainter p(&image);
            QCOMPARE(RenderPlot(p, 96, 96, s.out, s.record, s.show, nullptr),
                     ComputePlotRect(96, 96, s.out));
            QVERIFY(p.pen().width() == 1 && !p.hasClipping());
            s.record.store = nullptr;
            RenderPlot(p, 96, 96, s.out, s.record, s.show, nullptr);
        }
    }

    // Lines are cut at the window's edges at their true slope; samples
    // outside it leave nothing on the plot, not even on an edge: no line,
    // point, peak mark or label.
    void outsideTheWindow_data() { vexa::test::AddRows("plot/clip.txt"); }
    void outsideTheWindow()
    {
        QFETCH(QStringList, f);
        Scene s;
        DataSetRecord& r = s.AddSet();
        const QStringList v = f[0].split(' ');
        for (int i = 0; i + 1 < v.size(); i += 2)
            r.samples.Append(v[i].toDouble(), v[i + 1].toDouble(), 1);
        r.pointStyle = f[1].toInt();
        const QImage image = s.Render();
        // The region on screen, 3 pixels in from each side for the pen's width.
        const QStringList b = f[2].split(' ');
        const double w = s.rect.plotRight - s.rect.plotLeft, h = s.rect.plotBottom - s.rect.plotTop;
        auto at = [&](int t, int a) {
            return QPoint(s.rect.plotLeft + int(b[t].toDouble() / 20 * w),
                          s.rect.plotTop + int((20 - b[a].toDouble()) / 20 * h));
        };
        const QRect region = QRect(at(0, 3), at(1, 2)).adjusted(3, 3, -3, -3);
        for (const ColorRef c : {Line, Point, s.record.ScaleColor})
            QCOMPARE(s.Count(image, c, region), 0);
        QCOMPARE(s.Count(image, Line) > 0, f[3] == "some");
    }

    // A peak's label sits on the background, over the lines of every set.
    void peakLabelsStayReadable()
    {
        Scene s;
        s.AddSet({{0, 0}, {10, 10}, {20, 0}}).samples.peakMarks[1] = 1;
        s.AddSet({{9.8, 0}, {10.2, 20}});
        const QImage image = s.Render();
        vexa::test::TextRecorder device(750, 461, 96);
        QPainter p(&device);
        RenderPlot(p, 96, 96, s.out, s.record, s.show, nullptr);
        p.end();
        const auto label = std::ranges::find(device.texts, QString("10.00"),
                                             &vexa::test::TextRecorder::Text::text);
        QVERIFY(label != device.texts.end());
        QCOMPARE(s.Count(image, Line, label->box.toAlignedRect()), 0);
        QVERIFY(s.Count(image, s.record.ScaleColor, label->box.toAlignedRect()) > 10);
    }

    // Within one column the reduced line visits the highest and lowest
    // point in the samples' order, so a vector output traces the flight.
    void reducedLineKeepsOrder_data()
    {
        QTest::addColumn<QList<double>>("altitudes");
        QTest::addColumn<QList<double>>("visited");
        QTest::newRow("up, then down")
            << QList<double>{10, 12, 15, 5, 10} << QList<double>{10, 15, 5, 10};
        QTest::newRow("down, then up")
            << QList<double>{10, 5, 15, 10} << QList<double>{10, 5, 15, 10};
        QTest::newRow("ends on the low") << QList<double>{10, 15, 5} << QList<double>{10, 15, 5};
        QTest::newRow("level") << QList<double>{8, 8, 8} << QList<double>{8};
    }
    void reducedLineKeepsOrder()
    {
        QFETCH(QList<double>, altitudes);
        QFETCH(QList<double>, visited);
        Scene s;
        DataSetRecord& r = s.AddSet();
        for (int i = 0; i < altitudes.size(); ++i)
            r.samples.Append(0.01 * i, altitudes[i]);
        const PlotMapping map(s.record.view, PlotRect{0, 0, 0, 0, 200, 200, 0});
        std::vector<ColumnRun> runs;
        ColumnRuns(r, 0, r.samples.Count(), map, {}, true, runs);
        std::vector<QPoint> line;
        RunsToPolyline(runs, line);
        QList<int> want, got;
        for (const double a : visited)
            want << map.MapAltitude(a);
        for (const QPoint& p : line)
            got << p.y();
        QCOMPARE(got, want);
    }

    // The data line is drawn from column runs; it must match a polyline
    // through every sample to the pixel, give or take the odd bevel join;
    // samples right on a column's start draw as if just past it.
    void reductionMatchesEverySample()
    {
        // Sample i of n lies at (i % period) * step + (i / period) * jump - 5 seconds
        // and 10 + swing * sin(i / wave) + noise units: a noisy flight in every
        // slot on screen, and time jumping back 4 s every 300 samples on a page.
        const int full = SampleBlock::Capacity;
        const std::tuple<int, int, QList<double>> cases[] = {
            {96,
             full,
             {30.0 / full, 1e9, 0, 8, full * 0.15, 0.05}}, // step period jump swing wave noise
            {600, 20000, {0.02, 300, 0.2, 6, 900, 0.6}},
            {96, 4000, {1.0 / 128, 1e9, 0, 8, 320, 0.05}}}; // every 4th sample starts a column
        for (const auto& [dpi, n, shape] : cases) {
            Scene s(dpi, dpi == 96 ? 750.0 / 96 : 2.5, dpi == 96 ? 461.0 / 96 : 1.5);
            std::mt19937 random(7);
            std::normal_distribution<double> noise(0.0, shape[5]);
            DataSetRecord& r = s.AddSet();
            r.timeScale = 1.01;
            r.altitudeOffset = 0.25;
            const bool aligned = shape[0] == 1.0 / 128;
            if (aligned) { // 32 pixels a second, time as stored
                s.Render();
                r.timeScale = 1;
                s.record.view.TimeMax = (s.rect.plotRight - s.rect.plotLeft) / 32.0;
            }
            const int period = int(shape[1]);
            FillWith(r.samples, n, [&](int i) {
                return std::pair((i % period) * shape[0] + (i / period) * shape[2] - 5,
                                 10 + shape[3] * std::sin(i / shape[4]) + noise(random));
            });
            const QImage reduced = s.Render(LineDrawing::PerColumn);
            r.timeOffset = aligned ? 1e-9 : 0; // off the column starts: nothing moves
            const QImage everySample =
                s.Render(aligned ? LineDrawing::PerColumn : LineDrawing::EverySample);
            int differing = 0;
            for (int y = 0; y < reduced.height(); ++y)
                for (int x = 0; x < reduced.width(); ++x)
                    differing += reduced.pixel(x, y) != everySample.pixel(x, y);
            // Lost pieces of line would show against the line's own pixels.
            const int linePixels = s.Count(everySample, Line);
            QVERIFY(linePixels > 500);
            QVERIFY2(differing <= linePixels / 100, qPrintable(QString::number(differing)));
        }
    }
};

QTEST_MAIN(TestRenderPlot)
#include "tst_renderplot.moc"
