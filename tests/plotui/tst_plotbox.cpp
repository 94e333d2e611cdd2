#include "Samples.h"
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
        vexa::test::FillWith(set.samples, 1001, [](int i) { return std::pair(i * 0.1, i + 0.9); });
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
    // The box hands each mode's gestures to the tool: readouts and the
    // circle follow the nearest sample without drawing the plot again; a
    // peak click or a zoom drag changes the plot and draws it again.
    void mouse()
    {
        Scene s;
        QVERIFY(s.Ready());
        const int renders = s.box.RenderCount();
        QTest::mouseMove(&s.box, s.At(1.26, 30));
        QCOMPARE(s.xy.last(), QString("Time =      1.3, Altitude =   13"));
        QCOMPARE(s.roc.last(), QString("Rate of Climb =   10.000 units/sec"));
        const QPoint first = *s.box.Tool()->Overlay().cursor;
        QTRY_VERIFY(s.RedNear(first));
        QTest::mouseMove(&s.box, s.At(4.0, 10));
        QTRY_VERIFY(s.RedNear(*s.box.Tool()->Overlay().cursor));
        QVERIFY(!s.RedNear(first));
        QCOMPARE(s.box.RenderCount(), renders);

        QSignalSpy window(&s.box, &TPlotBox::WindowChanged);
        QSignalSpy marks(&s.box, &TPlotBox::MarksChanged);
        s.box.SetMouseMode(MouseMode::Peak);
        QTest::mouseClick(&s.box, Qt::LeftButton, Qt::NoModifier, s.At(2.0, 20));
        QVERIFY(marks.count() == 1 && s.set.samples.peakMarks[20]);
        QTRY_VERIFY(s.box.RenderCount() > renders);
        s.box.SetMouseMode(MouseMode::Zoom);
        s.Drag(s.At(4, 10), s.At(1, 50));
        QCOMPARE(window.count(), 1);
        QVERIFY(std::abs(s.plot.view.TimeMax - 4) < 1e-9);
    }
};

QTEST_MAIN(TestPlotBox)
#include "tst_plotbox.moc"
