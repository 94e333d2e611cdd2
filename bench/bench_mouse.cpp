// What a mouse move over the plot costs the interface thread with ten full
// data sets: the nearest-sample search, the tool's step, and the whole move
// through the plot box including the repaint of the overlay. A full redraw
// of the plot (zoom, pan) is measured beside it for comparison.

#include "BenchFlights.h"
#include "plot/MouseTools.h"
#include "plotui/TPlotBox.h"

#include <QApplication>
#include <QMouseEvent>
#include <benchmark/benchmark.h>
#include <cmath>
#include <memory>
#include <random>

using namespace vexa;
using vexa::bench::FillFlight;

namespace {

constexpr int Sets = 10;
constexpr int Width = 750, Height = 461;

struct Scene {
    DataSetStore store;
    PlotRecord plot;
    PlotRect rect;
    ShowFlags show;

    Scene()
    {
        std::mt19937 random(42);
        plot.store = &store;
        for (int k = 0; k < Sets; ++k)
            FillFlight(store.NewDataSet(), k, random);
        store.SetActiveSet(Sets - 1);
        plot.view = {0, 700, -100, 4000};
        rect = ComputePlotRect(96, 96, OutputSettings{Width / 96.0, Height / 96.0, 0, 0, true});
    }
};

Scene& TheScene()
{
    static Scene scene;
    return scene;
}

// Cursor positions sweeping the data area, a different sample each time.
QPoint Sweep(const PlotRect& r, int k)
{
    const int w = r.plotRight - r.plotLeft, h = r.plotBottom - r.plotTop;
    return QPoint(r.plotLeft + (k * 7) % (w + 1), r.plotTop + (k * 3) % (h + 1));
}

void BM_NearestSample(benchmark::State& state)
{
    const SampleBlock& s = TheScene().store.Set(0).samples;
    const bool ascending = state.range(0) != 0;
    double t = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(NearestSample(s, t, ascending));
        t = t > 650 ? 0 : t + 3.7;
    }
    state.SetLabel(ascending ? "by halves" : "scan");
}
BENCHMARK(BM_NearestSample)->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond);

// Once per set change or data change, not per move.
void BM_TimesAscending(benchmark::State& state)
{
    const SampleBlock& s = TheScene().store.Set(0).samples;
    for (auto _ : state)
        benchmark::DoNotOptimize(TimesAscending(s));
}
BENCHMARK(BM_TimesAscending)->Unit(benchmark::kMicrosecond);

void BM_ToolMove(benchmark::State& state)
{
    Scene& scene = TheScene();
    MouseTool tool(scene.plot);
    tool.SetRect(scene.rect);
    int k = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(tool.Move(Sweep(scene.rect, k++), MouseMode::Zoom));
}
BENCHMARK(BM_ToolMove)->Unit(benchmark::kMicrosecond);

struct BoxScene {
    TPlotBox box;

    BoxScene()
    {
        Scene& scene = TheScene();
        box.resize(Width, Height);
        box.SetPlot(&scene.plot, &scene.show, nullptr);
        box.show();
        QCoreApplication::processEvents();
    }
    const PlotRect& Rect() const { return box.Tool()->Rect(); }
};

// A move as the window system delivers it, up to the overlay on screen.
void BM_PlotBoxMove(benchmark::State& state)
{
    BoxScene s;
    const int renders = s.box.RenderCount();
    const MouseMode mode = MouseMode(state.range(0));
    s.box.SetMouseMode(mode);
    int k = 0;
    if (mode == MouseMode::Zoom) {
        QMouseEvent press(QEvent::MouseButtonPress, Sweep(s.Rect(), 0), Sweep(s.Rect(), 0),
                          Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&s.box, &press);
    }
    for (auto _ : state) {
        const QPoint p = Sweep(s.Rect(), ++k);
        QMouseEvent move(QEvent::MouseMove, p, s.box.mapToGlobal(p), Qt::NoButton,
                         mode == MouseMode::Zoom ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&s.box, &move);
        QCoreApplication::processEvents();
    }
    state.counters["renders"] = s.box.RenderCount() - renders;
    state.SetLabel(mode == MouseMode::Zoom ? "dragging a zoom band" : "cursor only");
}
BENCHMARK(BM_PlotBoxMove)
    ->Arg(int(MouseMode::Peak))
    ->Arg(int(MouseMode::Zoom))
    ->Unit(benchmark::kMicrosecond);

// For comparison: what every zoom, pan or Reset costs.
void BM_PlotBoxRender(benchmark::State& state)
{
    BoxScene s;
    for (auto _ : state) {
        s.box.PlotChanged();
        QCoreApplication::processEvents();
    }
}
BENCHMARK(BM_PlotBoxRender)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
