#include "plot/PlotRecord.h"

#include <QtTest>
#include <cmath>

using namespace vexa;

namespace {

struct Screen {
    PlotView view;
    PlotRect rect;
};

// The data area of a 750 x 461 screen plot: 576 x 305 pixels at (112, 80).
Screen ScreenRecord()
{
    return {{10, 70, -100, 500},
            ComputePlotRect(96, 96, OutputSettings{750.0 / 96, 461.0 / 96, 0, 0, true})};
}

} // namespace

class TestPlotView : public QObject {
    Q_OBJECT

private slots:
    // Page: dpi, width, height, left and top margins in inches.
    void layout_data()
    {
        QTest::addColumn<QList<double>>("page");
        QTest::addColumn<QList<int>>("expected");
        QTest::newRow("screen 750x461") << QList<double>{96, 750.0 / 96, 461.0 / 96, 0, 0}
                                        << QList<int>{37, 15, 112, 80, 688, 385, 423};
        // 803 / 100.0 * 100 and 402 / 100.0 * 100 fall a hair short of a whole pixel.
        QTest::newRow("bitmap 803x402") << QList<double>{100, 803 / 100.0, 402 / 100.0, 0, 0}
                                        << QList<int>{40, 13, 120, 70, 737, 335, 369};
        QTest::newRow("printer page, placed") << QList<double>{600, 7.0, 3.5, 0.5, 0.25}
                                              << QList<int>{510, 220, 930, 520, 4150, 1900, 2075};
    }

    void layout()
    {
        QFETCH(QList<double>, page);
        QFETCH(QList<int>, expected);
        const int dpi = int(page[0]);
        const PlotRect r = ComputePlotRect(dpi, dpi, {page[1], page[2], page[3], page[4], true});
        QCOMPARE((QList<int>{r.labelLeft, r.titleTop, r.plotLeft, r.plotTop, r.plotRight,
                             r.plotBottom, r.xLabelTop}),
                 expected);
    }

    // x for times, y for altitudes, in pixels from the data area's corner.
    void map_data()
    {
        QTest::addColumn<QList<double>>("window");
        QTest::addColumn<bool>("time");
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("pixel");
        const QList<double> w{10, 70, -100, 500}, empty{5, 5, 8, 2};
        QTest::newRow("window start") << w << true << 10.0 << 0;
        QTest::newRow("window end") << w << true << 70.0 << 576;
        QTest::newRow("just left") << w << true << std::nextafter(10.0, 0.0) << -1;
        QTest::newRow("just right") << w << true << std::nextafter(70.0, 100.0) << 9999;
        QTest::newRow("not a number") << w << true << qQNaN() << -1;
        QTest::newRow("window bottom") << w << false << -100.0 << 304;
        QTest::newRow("window top") << w << false << 500.0 << 0;
        QTest::newRow("zero") << w << false << 0.0 << 254; // 305 - trunc(100 * 305 / 600) - 1
        QTest::newRow("below") << w << false << -100.5 << 305;
        QTest::newRow("far above") << w << false << 1e9 << 0;
        // A typed window may be empty or inverted; nothing may divide by zero.
        QTest::newRow("empty window, after") << empty << true << 6.0 << 9999;
        QTest::newRow("inverted altitudes") << empty << false << 5.0 << 305;
    }

    void map()
    {
        QFETCH(QList<double>, window);
        QFETCH(bool, time);
        QFETCH(double, value);
        QFETCH(int, pixel);
        Screen r = ScreenRecord();
        r.view = {window[0], window[1], window[2], window[3]};
        QCOMPARE(time ? MapTime(r.view, r.rect, value) : MapAltitude(r.view, r.rect, value), pixel);
    }

    // The data area's edges map back to the window's; back and forth lands
    // within a pixel, as the forward map truncates and puts the bottom one up.
    void inverse()
    {
        const auto [v, r] = ScreenRecord();
        QCOMPARE(
            QList<double>({PixelToTime(v, r, r.plotLeft), PixelToTime(v, r, r.plotRight),
                           PixelToAltitude(v, r, r.plotTop), PixelToAltitude(v, r, r.plotBottom)}),
            QList<double>({10, 70, 500, -100}));
        for (int x = r.plotLeft; x <= r.plotRight; x += 7)
            QVERIFY(std::abs(r.plotLeft + MapTime(v, r, PixelToTime(v, r, x)) - x) <= 1);
        for (int y = r.plotTop; y <= r.plotBottom; y += 5)
            QVERIFY(std::abs(r.plotTop + MapAltitude(v, r, PixelToAltitude(v, r, y)) - y) <= 1);
        QCOMPARE(PixelToTime(PlotView{}, PlotRect{}, 0), 0.0);
    }
};

QTEST_APPLESS_MAIN(TestPlotView)
#include "tst_plotview.moc"
