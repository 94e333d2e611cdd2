#include "plot/PlotRecord.h"

#include <QtTest>
#include <cmath>
#include <limits>

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
    void textsAreCut()
    {
        QString line;
        SetPlotText(line, QString(300, QLatin1Char('x')));
        QCOMPARE(line.size(), 255);
        SetPlotText(line, "short");
        QCOMPARE(line, QString("short"));
    }

    void layout_data()
    {
        QTest::addColumn<int>("dpi");
        QTest::addColumn<double>("width");
        QTest::addColumn<double>("height");
        QTest::addColumn<double>("left");
        QTest::addColumn<double>("top");
        QTest::addColumn<QList<int>>("expected");

        QTest::newRow("screen 750x461") << 96 << 750.0 / 96 << 461.0 / 96 << 0.0 << 0.0
                                        << QList<int>{37, 15, 112, 80, 688, 385, 423};
        QTest::newRow("bitmap 700x350")
            << 100 << 7.0 << 3.5 << 0.0 << 0.0 << QList<int>{35, 11, 105, 61, 642, 292, 321};
        // 803 / 100.0 * 100 and 402 / 100.0 * 100 fall a hair short of a whole pixel.
        QTest::newRow("bitmap 803x402") << 100 << 803 / 100.0 << 402 / 100.0 << 0.0 << 0.0
                                        << QList<int>{40, 13, 120, 70, 737, 335, 369};
        QTest::newRow("printer page, placed")
            << 600 << 7.0 << 3.5 << 0.5 << 0.25 << QList<int>{510, 220, 930, 520, 4150, 1900, 2075};
    }

    void layout()
    {
        QFETCH(int, dpi);
        QFETCH(double, width);
        QFETCH(double, height);
        QFETCH(double, left);
        QFETCH(double, top);
        QFETCH(QList<int>, expected);
        const OutputSettings out{width, height, left, top, true};
        const PlotRect r = ComputePlotRect(dpi, dpi, out);
        QCOMPARE((QList<int>{r.labelLeft, r.titleTop, r.plotLeft, r.plotTop, r.plotRight,
                             r.plotBottom, r.xLabelTop}),
                 expected);
    }

    void mapTime_data()
    {
        QTest::addColumn<double>("time");
        QTest::addColumn<int>("x");
        const double nan = std::numeric_limits<double>::quiet_NaN();
        QTest::newRow("window start") << 10.0 << 0;
        QTest::newRow("window end") << 70.0 << 576;
        QTest::newRow("middle") << 40.0 << 288;
        QTest::newRow("just left") << std::nextafter(10.0, 0.0) << -1;
        QTest::newRow("far left") << -1e300 << -1;
        QTest::newRow("just right") << std::nextafter(70.0, 100.0) << 9999;
        QTest::newRow("far right") << 1e300 << 9999;
        QTest::newRow("not a number") << nan << -1;
    }

    void mapTime()
    {
        QFETCH(double, time);
        QFETCH(int, x);
        QCOMPARE(MapTime(ScreenRecord().view, ScreenRecord().rect, time), x);
    }

    void mapAltitude_data()
    {
        QTest::addColumn<double>("altitude");
        QTest::addColumn<int>("y");
        QTest::newRow("window bottom") << -100.0 << 304;
        QTest::newRow("window top") << 500.0 << 0;
        QTest::newRow("zero") << 0.0 << 254; // 305 - trunc(100 * 305 / 600) - 1
        QTest::newRow("below") << -100.5 << 305;
        QTest::newRow("far above") << 1e9 << 0;
    }

    void mapAltitude()
    {
        QFETCH(double, altitude);
        QFETCH(int, y);
        QCOMPARE(MapAltitude(ScreenRecord().view, ScreenRecord().rect, altitude), y);
    }

    void zeroBelowWindowSitsOnBottomEdge()
    {
        Screen r = ScreenRecord();
        r.view.AltitudeMin = 1000;
        r.view.AltitudeMax = 2000;
        QCOMPARE(MapAltitude(r.view, r.rect, 0), r.rect.plotBottom - r.rect.plotTop);
    }

    void inverse()
    {
        const Screen r = ScreenRecord();
        QCOMPARE(PixelToTime(r.view, r.rect, r.rect.plotLeft), 10.0);
        QCOMPARE(PixelToTime(r.view, r.rect, r.rect.plotRight), 70.0);
        QCOMPARE(PixelToAltitude(r.view, r.rect, r.rect.plotTop), 500.0);
        QCOMPARE(PixelToAltitude(r.view, r.rect, r.rect.plotBottom), -100.0);
        // Back and forth lands within a pixel: the forward map truncates and
        // puts the window's bottom one pixel up.
        for (int x = r.rect.plotLeft; x <= r.rect.plotRight; x += 7)
            QVERIFY(std::abs(r.rect.plotLeft +
                             MapTime(r.view, r.rect, PixelToTime(r.view, r.rect, x)) - x) <= 1);
        for (int y = r.rect.plotTop; y <= r.rect.plotBottom; y += 5)
            QVERIFY(std::abs(r.rect.plotTop +
                             MapAltitude(r.view, r.rect, PixelToAltitude(r.view, r.rect, y)) - y) <=
                    1);
    }

    void emptyWindowMapsToEdges()
    {
        // A typed window may be empty or inverted; nothing may divide by zero.
        Screen r = ScreenRecord();
        r.view = {5, 5, 8, 2};
        QCOMPARE(MapTime(r.view, r.rect, 5), 0);
        QCOMPARE(MapTime(r.view, r.rect, 6), 9999);
        QCOMPARE(MapAltitude(r.view, r.rect, 5), 305);
        QCOMPARE(PixelToTime(PlotView{}, PlotRect{}, 0), 0.0);
    }
};

QTEST_APPLESS_MAIN(TestPlotView)
#include "tst_plotview.moc"
