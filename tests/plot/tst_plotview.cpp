#include "plot/PlotRecord.h"

#include <QtTest>
#include <cmath>
#include <tuple>

using namespace vexa;

class TestPlotView : public QObject {
    Q_OBJECT

private slots:
    void layout()
    {
        // Page: dpi, width, height, left and top margins in inches; then the rect.
        const std::pair<QList<double>, QList<int>> cases[] = {
            {{96, 750.0 / 96, 461.0 / 96, 0, 0}, {37, 15, 112, 80, 688, 385, 423}},
            // 803 / 100.0 * 100 and 402 / 100.0 * 100 fall a hair short of a whole pixel.
            {{100, 803 / 100.0, 402 / 100.0, 0, 0}, {40, 13, 120, 70, 737, 335, 369}},
            {{600, 7.0, 3.5, 0.5, 0.25}, {510, 220, 930, 520, 4150, 1900, 2075}}};
        for (const auto& [page, expected] : cases) {
            const int dpi = int(page[0]);
            const PlotRect r = ComputePlotRect(dpi, dpi, {page[1], page[2], page[3], page[4]});
            QCOMPARE((QList<int>{r.labelLeft, r.titleTop, r.plotLeft, r.plotTop, r.plotRight,
                                 r.plotBottom, r.xLabelTop}),
                     expected);
        }
    }

    // On a 750 x 461 screen (a data area of 576 x 305 pixels), x for times and
    // y for altitudes in pixels from the data area's corner, and back.
    void map()
    {
        const PlotRect r = ComputePlotRect(96, 96, {750.0 / 96, 461.0 / 96});
        const PlotView w{10, 70, -100, 500}, empty{5, 5, 8, 2};
        const std::tuple<PlotView, bool, double, int> cases[] = {
            {w, true, 10, 0},
            {w, true, 70, 576},
            {w, true, std::nextafter(10.0, 0.0), -1},
            {w, true, std::nextafter(70.0, 100.0), 9999},
            {w, true, qQNaN(), -1},
            {w, false, -100, 304},
            {w, false, 500, 0},
            {w, false, 0, 254}, // 305 - trunc(100 * 305 / 600) - 1
            {w, false, -100.5, 305},
            {w, false, 1e9, 0},
            // A typed window may be empty or inverted; nothing may divide by zero.
            {empty, true, 6, 9999},
            {empty, false, 5, 305}};
        for (const auto& [v, time, value, pixel] : cases)
            QCOMPARE(time ? MapTime(v, r, value) : MapAltitude(v, r, value), pixel);

        // The edges map back exactly; back and forth lands within a pixel, as
        // the forward map truncates and puts the window's bottom one pixel up.
        QCOMPARE(
            QList<double>({PixelToTime(w, r, r.plotLeft), PixelToTime(w, r, r.plotRight),
                           PixelToAltitude(w, r, r.plotTop), PixelToAltitude(w, r, r.plotBottom)}),
            QList<double>({10, 70, 500, -100}));
        for (int x = r.plotLeft; x <= r.plotRight; x += 7)
            QVERIFY(std::abs(r.plotLeft + MapTime(w, r, PixelToTime(w, r, x)) - x) <= 1);
        for (int y = r.plotTop; y <= r.plotBottom; y += 5)
            QVERIFY(std::abs(r.plotTop + MapAltitude(w, r, PixelToAltitude(w, r, y)) - y) <= 1);
        QCOMPARE(PixelToTime(PlotView{}, PlotRect{}, 0), 0.0);
    }
};

QTEST_APPLESS_MAIN(TestPlotView)
#include "tst_plotview.moc"
