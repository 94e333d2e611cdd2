#include "plotui/TPlotBox.h"

#include <QScreen>
#include <QSignalSpy>
#include <QtTest>
#include <cmath>

using namespace vexa;

namespace {

// One set sampled every 0.1 s, altitude index + 0.9, on a 750 x 461 box whose
// window makes a pixel 0.01 s wide and 0.2 altitude units high.
struct Scene {
    DataSetStore store;
    PlotRecord plot;
    ShowFlags show;
    TPlotBox box;
    DataSetRecord& set = store.NewDataSet();
    QStringList xy, roc;

    Scene()
    {
        plot.store = &store;
        set.samples.Resize(1001);
        for (int i = 0; i < set.samples.Count(); ++i) {
            set.samples.time[std::size_t(i)] = i * 0.1;
            set.samples.altitude[std::size_t(i)] = i + 0.9;
        }
        box.resize(750, 461);
        box.SetPlot(&plot, &show, nullptr);
        QObject::connect(&box, &TPlotBox::XYTextChanged, [this](const QString& s) { xy << s; });
        QObject::connect(&box, &TPlotBox::ROCTextChanged, [this](const QString& s) { roc << s; });
    }

    // Shows the box and fits the window to its data area once it is known.
    bool Ready()
    {
        box.show();
        if (!QTest::qWaitForWindowExposed(&box) ||
            !QTest::qWaitFor([&] { return box.RenderCount() > 0; }))
            return false;
        const PlotRect& r = box.Tool()->Rect();
        plot.view.TimeMax = (r.plotRight - r.plotLeft) * 0.01;
        plot.view.AltitudeMax = (r.plotBottom - r.plotTop) * 0.2;
        box.PlotChanged();
        return QTest::qWaitFor([&] { return box.RenderCount() > 1; });
    }

    QPoint At(double t, double a) const
    {
        const PlotRect& r = box.Tool()->Rect();
        return QPoint(r.plotLeft + int(std::lround(t / 0.01)),
                      r.plotTop + int(std::lround((plot.view.AltitudeMax - a) / 0.2)));
    }

    void Drag(QPoint from, QPoint to)
    {
        QTest::mouseMove(&box, from);
        QTest::mousePress(&box, Qt::LeftButton, Qt::NoModifier, from);
        QTest::mouseMove(&box, to);
        QTest::mouseRelease(&box, Qt::LeftButton, Qt::NoModifier, to);
    }

    // The overlay as it stands on screen, not as a fresh paint would draw it.
    bool RedNear(QPoint c) const
    {
        const QImage image = box.screen()->grabWindow(box.winId()).toImage();
        for (int dx = -7; dx <= 7; ++dx)
            if (image.pixelColor(c.x() + dx, c.y()) == QColor(255, 0, 0))
                return true;
        return false;
    }
};

} // namespace

class TestPlotBox : public QObject {
    Q_OBJECT

private slots:
    void moveCirclesNearestSample()
    {
        Scene s;
        QVERIFY(s.Ready());
        const int renders = s.box.RenderCount();

        QTest::mouseMove(&s.box, s.At(1.26, 30));
        QCOMPARE(s.xy.last(), QString("Time =      1.3, Altitude =   13"));
        QCOMPARE(s.roc.last(), QString("Rate of Climb =   10.000 units/sec"));
        const QPoint first = *s.box.Tool()->Overlay().cursor;
        QTRY_VERIFY(s.RedNear(first));

        // Off to another sample: the old circle goes, the plot is not drawn again.
        QTest::mouseMove(&s.box, s.At(4.0, 10));
        const QPoint second = *s.box.Tool()->Overlay().cursor;
        QTRY_VERIFY(s.RedNear(second));
        QVERIFY(!s.RedNear(first));
        QCOMPARE(s.box.RenderCount(), renders);
    }

    // The box hands each mode's gestures to the tool and redraws after them.
    void gestures()
    {
        Scene s;
        QVERIFY(s.Ready());
        QSignalSpy window(&s.box, &TPlotBox::WindowChanged);
        QSignalSpy marks(&s.box, &TPlotBox::MarksChanged);
        s.box.SetMouseMode(MouseMode::Peak);
        const QPoint p = s.At(2.0, 20);
        QTest::mouseMove(&s.box, p);
        QTest::mouseClick(&s.box, Qt::LeftButton, Qt::NoModifier, p);
        QCOMPARE(int(s.set.samples.peakMarks[20]), 1);
        QTest::mouseClick(&s.box, Qt::RightButton, Qt::NoModifier, p);
        QCOMPARE(int(s.set.samples.peakMarks[20]), 0);

        const int renders = s.box.RenderCount();
        s.box.SetMouseMode(MouseMode::Climb);
        s.Drag(s.At(4.0, 40), s.At(1.0, 10));
        QCOMPARE(marks.count(), 3); // two peak clicks and the climb
        QCOMPARE(s.set.climbMarks[0].firstSample, 40);
        QCOMPARE(s.set.climbMarks[0].lastSample, 10);
        QTRY_VERIFY(s.box.RenderCount() > renders);

        s.box.SetMouseMode(MouseMode::Zoom);
        s.Drag(s.At(4, 10), s.At(1, 50));
        QCOMPARE(window.count(), 1);
        QVERIFY(std::abs(s.plot.view.TimeMax - 4) < 1e-9);
        QVERIFY(std::abs(s.plot.view.AltitudeMin - 10) < 1e-9);
    }
};

QTEST_MAIN(TestPlotBox)
#include "tst_plotbox.moc"
