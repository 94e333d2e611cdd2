#include "Samples.h"
#include "plotui/TPlotBox.h"

#include <QScreen>
#include <QSignalSpy>
#include <QtTest>
#include <cmath>

using namespace vexa;

class TestPlotBox : public QObject {
    Q_OBJECT

private slots:
    // The box hands each mode's gestures to the tool: readouts and the
    // circle follow the nearest sample without drawing the plot again; a
    // peak click or a zoom drag changes the plot and draws it again.
    void mouse()
    {
        // One set sampled every 0.1 s, altitude index + 0.9, on a 750 x 461
        // box whose window makes a pixel 0.01 s wide and 0.2 units high.
        DataSetStore store;
        PlotRecord plot;
        plot.store = &store;
        DataSetRecord& set = store.NewDataSet();
        vexa::test::FillWith(set.samples, 1001, [](int i) { return std::pair(i * 0.1, i + 0.9); });
        TPlotBox box;
        box.resize(750, 461);
        box.SetPlot(&plot, nullptr, nullptr);
        QSignalSpy xy(&box, &TPlotBox::XYTextChanged), roc(&box, &TPlotBox::ROCTextChanged);
        QSignalSpy window(&box, &TPlotBox::WindowChanged), marks(&box, &TPlotBox::MarksChanged);
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        QTRY_VERIFY(box.RenderCount() > 0);
        const PlotRect& r = box.Tool()->Rect();
        plot.view = {0, (r.plotRight - r.plotLeft) * 0.01, 0, (r.plotBottom - r.plotTop) * 0.2};
        box.PlotChanged();
        QTRY_VERIFY(box.RenderCount() > 1);
        const int renders = box.RenderCount();
        auto at = [&](double t, double a) {
            return QPoint(r.plotLeft + int(std::lround(t / 0.01)),
                          r.plotTop + int(std::lround((plot.view.AltitudeMax - a) / 0.2)));
        };
        // The screen shows the set in its own colour.
        QCOMPARE(box.grab().toImage().pixelColor(at(5.3, 54.1)), ToQColor(set.lineColor));
        // The overlay as it stands on screen, not as a fresh paint would draw it.
        auto redNear = [&](QPoint c) {
            const QImage image = box.screen()->grabWindow(box.winId()).toImage();
            for (int dx = -7; dx <= 7; ++dx)
                if (image.pixelColor(c.x() + dx, c.y()) == QColor(255, 0, 0))
                    return true;
            return false;
        };

        QTest::mouseMove(&box, at(1.26, 30));
        QCOMPARE(xy.last().at(0).toString(), QString("Time =      1.3, Altitude =   13"));
        QCOMPARE(roc.last().at(0).toString(), QString("Rate of Climb =   10.000 units/sec"));
        const QPoint first = *box.Tool()->Overlay().cursor;
        QTRY_VERIFY(redNear(first));
        QTest::mouseMove(&box, at(4.0, 10));
        QTRY_VERIFY(redNear(*box.Tool()->Overlay().cursor));
        QVERIFY(!redNear(first));
        QCOMPARE(box.RenderCount(), renders);

        box.SetMouseMode(MouseMode::Peak);
        QTest::mouseClick(&box, Qt::LeftButton, Qt::NoModifier, at(2.0, 20));
        QVERIFY(marks.count() == 1 && set.samples.peakMarks[20]);
        QTRY_VERIFY(box.RenderCount() > renders);
        box.SetMouseMode(MouseMode::Zoom);
        QTest::mouseMove(&box, at(4, 10));
        QTest::mousePress(&box, Qt::LeftButton, Qt::NoModifier, at(4, 10));
        QTest::mouseMove(&box, at(1, 50));
        QTest::mouseRelease(&box, Qt::LeftButton, Qt::NoModifier, at(1, 50));
        QCOMPARE(window.count(), 1);
        QVERIFY(std::abs(plot.view.TimeMax - 4) < 1e-9);
    }
};

QTEST_MAIN(TestPlotBox)
#include "tst_plotbox.moc"
