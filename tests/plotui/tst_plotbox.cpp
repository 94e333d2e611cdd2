#include "plotui/TPlotBox.h"

#include <QScreen>
#include <QSignalSpy>
#include <QtTest>
#include <cmath>
#include <memory>

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
        if (!QTest::qWaitForWindowExposed(&box))
            return false;
        if (!QTest::qWaitFor([&] { return box.RenderCount() > 0; }))
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
    QImage Screen() const
    {
        return box.screen()
            ->grabWindow(box.winId())
            .toImage()
            .convertToFormat(QImage::Format_RGB32);
    }
};

bool RedNear(const QImage& image, QPoint c)
{
    for (int dx = -7; dx <= 7; ++dx)
        if (image.pixelColor(c.x() + dx, c.y()) == QColor(255, 0, 0))
            return true;
    return false;
}

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
        QCOMPARE(s.box.Tool()->Nearest(), 13);
        QCOMPARE(s.xy.last(), QString("Time =      1.3, Altitude =   13"));
        QCOMPARE(s.roc.last(), QString("Rate of Climb =   10.000 units/sec"));
        const QPoint first = *s.box.Tool()->Overlay().cursor;
        QTRY_VERIFY(RedNear(s.Screen(), first));

        // Off to another sample: the old circle goes, the plot is not drawn again.
        QTest::mouseMove(&s.box, s.At(4.0, 10));
        QCOMPARE(s.box.Tool()->Nearest(), 40);
        const QPoint second = *s.box.Tool()->Overlay().cursor;
        QTRY_VERIFY(RedNear(s.Screen(), second));
        QVERIFY(!RedNear(s.Screen(), first));
        QCOMPARE(s.box.RenderCount(), renders);
    }

    void smallZoomDragChangesNothing()
    {
        Scene s;
        QVERIFY(s.Ready());
        const int renders = s.box.RenderCount();
        s.Drag(s.At(1.0, 5), s.At(2.5, 55)); // 1.5 s by 50 units
        QCOMPARE(s.plot.view.TimeMin, 0.0);
        QCOMPARE(s.plot.view.AltitudeMin, 0.0);
        QCOMPARE(s.plot.view.TimeMax,
                 s.box.Tool()->Rect().plotRight * 0.01 - s.box.Tool()->Rect().plotLeft * 0.01);
        QTRY_VERIFY(s.box.RenderCount() > renders);
    }

    void reversedDragsZoomAlike_data()
    {
        QTest::addColumn<QPointF>("from");
        QTest::addColumn<QPointF>("to");
        QTest::newRow("top left to bottom right") << QPointF(1, 50) << QPointF(4, 10);
        QTest::newRow("bottom right to top left") << QPointF(4, 10) << QPointF(1, 50);
        QTest::newRow("top right to bottom left") << QPointF(4, 50) << QPointF(1, 10);
        QTest::newRow("bottom left to top right") << QPointF(1, 10) << QPointF(4, 50);
    }

    void reversedDragsZoomAlike()
    {
        QFETCH(QPointF, from);
        QFETCH(QPointF, to);
        Scene s;
        QVERIFY(s.Ready());
        QSignalSpy changed(&s.box, &TPlotBox::WindowChanged);
        s.Drag(s.At(from.x(), from.y()), s.At(to.x(), to.y()));
        QCOMPARE(changed.count(), 1);
        const double window[] = {s.plot.view.TimeMin, s.plot.view.TimeMax, s.plot.view.AltitudeMin,
                                 s.plot.view.AltitudeMax};
        const double expected[] = {1, 4, 10, 50};
        for (int k = 0; k < 4; ++k)
            QVERIFY2(std::abs(window[k] - expected[k]) < 1e-9, qPrintable(QString::number(k)));
    }

    // Right to left stores the later sample first; the rate comes out the same.
    void climbDragRightToLeft()
    {
        Scene s;
        QVERIFY(s.Ready());
        s.box.SetMouseMode(MouseMode::Climb);
        QSignalSpy marks(&s.box, &TPlotBox::MarksChanged);
        const int renders = s.box.RenderCount();
        s.Drag(s.At(4.0, 40), s.At(1.0, 10));
        QCOMPARE(marks.count(), 1);
        const ClimbMark& m = s.set.climbMarks[0];
        QVERIFY(m.used);
        QCOMPARE(m.firstSample, 40);
        QCOMPARE(m.lastSample, 10);
        QVERIFY(!s.set.climbMarks[1].used);
        QTRY_VERIFY(s.box.RenderCount() > renders);
    }

    void climbMarksStopAt256()
    {
        Scene s;
        QVERIFY(s.Ready());
        for (int k = 0; k < 255; ++k)
            s.set.climbMarks[std::size_t(k)] = ClimbMark{k, k + 1, true};
        s.box.SetMouseMode(MouseMode::Climb);
        QSignalSpy marks(&s.box, &TPlotBox::MarksChanged);

        s.Drag(s.At(1.0, 10), s.At(3.0, 30));
        QCOMPARE(marks.count(), 1);
        QCOMPARE(s.set.climbMarks[255].firstSample, 10);
        QCOMPARE(s.set.climbMarks[255].lastSample, 30);

        const std::vector<ClimbMark> before = s.set.climbMarks;
        s.Drag(s.At(2.0, 10), s.At(5.0, 50));
        QCOMPARE(marks.count(), 1);
        for (std::size_t k = 0; k < before.size(); ++k)
            QCOMPARE(s.set.climbMarks[k].firstSample, before[k].firstSample);
        QVERIFY(!s.box.Tool()->ClimbDrag());
    }

    void peakClickedTwice()
    {
        Scene s;
        QVERIFY(s.Ready());
        s.box.SetMouseMode(MouseMode::Peak);
        const QPoint p = s.At(2.0, 20);
        QTest::mouseMove(&s.box, p);
        QTest::mouseClick(&s.box, Qt::LeftButton, Qt::NoModifier, p);
        QCOMPARE(int(s.set.samples.peakMarks[20]), 1);
        QTest::mouseClick(&s.box, Qt::RightButton, Qt::NoModifier, p);
        QCOMPARE(int(s.set.samples.peakMarks[20]), 0);
        QCOMPARE(std::count(s.set.samples.peakMarks.begin(), s.set.samples.peakMarks.end(), 1), 0);
    }
};

QTEST_MAIN(TestPlotBox)
#include "tst_plotbox.moc"
