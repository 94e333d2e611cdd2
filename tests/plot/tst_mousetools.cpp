#include "Samples.h"
#include "TestData.h"
#include "plot/MouseTools.h"

#include <QtTest>
#include <algorithm>
#include <tuple>

using namespace vexa;

using Window = QList<double>; // time min, time max, altitude min, altitude max

namespace {

QList<double> Numbers(const QString& text)
{
    QList<double> w;
    for (const QString& n : text.split(' '))
        w << n.toDouble();
    return w;
}

SampleBlock Block(const QList<double>& times, const QList<double>& altitudes = {})
{
    SampleBlock s(true);
    vexa::test::FillWith(s, int(times.size()),
                         [&](int i) { return std::pair(times[i], altitudes.value(i)); });
    return s;
}

// A data area of 500 x 300 pixels at (100, 50) over 0 ... 50 s by 0 ... 300:
// ten pixels a second, one pixel per altitude unit. Sample i is at
// 0.1 i s, altitude 0.5 i.
struct Scene {
    DataSetStore store;
    PlotRecord plot;
    MouseTool tool{plot};
    DataSetRecord& set = store.NewDataSet();

    Scene()
    {
        plot.store = &store;
        plot.view = {0, 50, 0, 300};
        tool.SetRect({0, 0, 100, 50, 600, 350});
        vexa::test::FillWith(set.samples, 501, [](int i) { return std::pair(i * 0.1, i * 0.5); });
    }
    static QPoint At(double t, double a) { return QPoint(100 + int(t * 10), 350 - int(a)); }
    static QPoint At(QPointF p) { return At(p.x(), p.y()); }
    MouseOutcome Drag(QPoint from, QPoint to, MouseMode mode)
    {
        tool.Move(from, mode);
        tool.Press(Qt::LeftButton, from, mode);
        tool.Move(to, mode);
        return tool.Release(Qt::LeftButton, to, mode);
    }
    Window View() const
    {
        return {plot.view.TimeMin, plot.view.TimeMax, plot.view.AltitudeMin, plot.view.AltitudeMax};
    }
};

} // namespace

class TestMouseTools : public QObject {
    Q_OBJECT

private slots:
    void nearestSample_data() { vexa::test::AddRows("plot/nearest.txt"); }
    void nearestSample()
    {
        QFETCH(QStringList, f);
        QCOMPARE(NearestSample(Block(Numbers(f[0])), f[1].toDouble()), f[2].toInt());
    }

    void readouts_data() { vexa::test::AddRows("plot/readouts.txt"); }
    void readouts()
    {
        QFETCH(QStringList, f);
        const QList<double> v = Numbers(f[0]);
        const SampleBlock s = Block({v[0], v[2]}, {v[1], v[3]});
        QCOMPARE(XYText(s, f[1].toInt()), f[2]);
        QCOMPARE(ROCText(s, f[1].toInt()).value_or(QString()), f[3]);
    }

    // The band is taken whichever way it is drawn; one under two units is not.
    void zoomDrag()
    {
        const Window zoomed{10, 40, 100, 250};
        const std::tuple<QPointF, QPointF, Window> cases[] = {
            {{10, 250}, {40, 100}, zoomed},
            {{40, 100}, {10, 250}, zoomed},
            {{10, 100}, {11.5, 200}, {0, 50, 0, 300}},
            {{10, 100}, {12, 102}, {10, 12, 100, 102}}};
        for (const auto& [from, to, window] : cases) {
            Scene s;
            QVERIFY(s.Drag(Scene::At(from), Scene::At(to), MouseMode::Zoom).render);
            QCOMPARE(s.View(), window);
        }
    }

    // A drag stays on through other modes until a left release in its own;
    // meanwhile the other mode's moves carry the shared anchor along.
    void dragAcrossModes()
    {
        Scene s;
        s.tool.Move(Scene::At(5, 50), MouseMode::Zoom);
        s.tool.Press(Qt::LeftButton, Scene::At(5, 50), MouseMode::Zoom);
        s.tool.Move(Scene::At(10, 100), MouseMode::Climb);
        QVERIFY(!s.tool.Release(Qt::LeftButton, Scene::At(10, 100), MouseMode::Climb).render);
        s.tool.Release(Qt::RightButton, Scene::At(30, 250), MouseMode::Zoom);
        QVERIFY(s.tool.ZoomDrag() && s.tool.Overlay().zoomBand);
        s.tool.Move(Scene::At(30, 250), MouseMode::Zoom);
        QVERIFY(s.tool.Release(Qt::LeftButton, Scene::At(30, 250), MouseMode::Zoom).windowChanged);
        QCOMPARE(s.View(), (Window{10, 30, 100, 250}));
    }

    // A climb begun with the right button ends on a left release; Peak moves
    // leave the anchor where it was; the 256th mark is the last.
    void climbMarks()
    {
        Scene s;
        for (int k = 0; k < 254; ++k)
            s.set.climbMarks[std::size_t(k)] = ClimbMark{k, k + 1, true};
        s.tool.Press(Qt::RightButton, Scene::At(4, 20), MouseMode::Climb);
        s.tool.Move(Scene::At(40, 200), MouseMode::Peak);
        s.tool.Release(Qt::RightButton, Scene::At(20, 100), MouseMode::Climb);
        // Both dashed lines are within what is repainted when they move.
        s.tool.Move(Scene::At(20, 100), MouseMode::Climb);
        const PlotOverlay::ClimbLines l = *s.tool.Overlay().climbLines;
        for (const QPoint end : {QPoint(l.x1, l.top), QPoint(l.x2, l.bottom)})
            QVERIFY(OverlayRegion(s.tool.Overlay()).contains(end));
        QVERIFY(s.tool.Release(Qt::LeftButton, Scene::At(20, 100), MouseMode::Climb).marksChanged);
        const ClimbMark& m = s.set.climbMarks[254];
        QCOMPARE(QList<int>({m.firstSample, m.lastSample}), QList<int>({40, 200}));
        QVERIFY(s.Drag(Scene::At(30, 10), Scene::At(10, 50), MouseMode::Climb).marksChanged);
        QCOMPARE(s.set.climbMarks[255].firstSample, 300);
        QVERIFY(!s.Drag(Scene::At(5, 10), Scene::At(10, 50), MouseMode::Climb).marksChanged);
    }

    // Off the data area or without an active set nothing follows the mouse.
    void nothingToFollow()
    {
        Scene s;
        QVERIFY(!s.tool.Move(QPoint(99, 200), MouseMode::Zoom).overlay);
        s.store.SetActiveSet(-1);
        QVERIFY(!s.tool.Move(QPoint(212, 200), MouseMode::Zoom).overlay);
        QVERIFY(!s.tool.Press(Qt::LeftButton, QPoint(212, 200), MouseMode::Peak).render);

        // A peak whose sample no longer exists (the set was cropped) is not touched.
        s.store.SetActiveSet(0);
        s.tool.Move(Scene::At(45, 100), MouseMode::Peak);
        QCOMPARE(s.tool.Nearest(), 450);
        s.set.samples.Resize(100);
        s.tool.DataChanged();
        s.tool.Press(Qt::LeftButton, QPoint(5, 5), MouseMode::Peak);
        QVERIFY(std::ranges::none_of(s.set.samples.peakMarks, [](auto m) { return m != 0; }));
    }
};

QTEST_GUILESS_MAIN(TestMouseTools)
#include "tst_mousetools.moc"
