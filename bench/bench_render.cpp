// Cost of one screen repaint of the plot with ten full data sets, and how far
// the per-column line drawing strays from a polyline through every sample.

#include "BenchFlights.h"
#include "plot/BackgroundLogo.h"
#include "plot/RenderPlot.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>
#include <cmath>

using namespace vexa;
using vexa::bench::FillFlights;

namespace {

constexpr int Sets = 10;
constexpr int Width = 750, Height = 461, Dpi = 96;

struct Scene {
    DataSetStore store;
    PlotRecord record;
    OutputSettings out;
    ShowFlags show;

    Scene()
    {
        record.store = &store;
        record.view = FillFlights(store, Sets);
        // The screen passes its own size in inches.
        out.width = double(Width) / Dpi;
        out.height = double(Height) / Dpi;
    }

    QImage Render(LineDrawing lines, bool withData = true)
    {
        QImage image(Width, Height, QImage::Format_RGB32);
        QPainter p(&image);
        record.store = withData ? &store : nullptr;
        RenderPlot(p, Dpi, Dpi, out, record, show, nullptr, lines);
        record.store = &store;
        return image;
    }
};

long DifferentPixels(const QImage& a, const QImage& b)
{
    long n = 0;
    for (int y = 0; y < a.height(); ++y) {
        const auto* pa = reinterpret_cast<const QRgb*>(a.constScanLine(y));
        const auto* pb = reinterpret_cast<const QRgb*>(b.constScanLine(y));
        for (int x = 0; x < a.width(); ++x)
            n += pa[x] != pb[x];
    }
    return n;
}

struct Deviation {
    double ofImage = 0; // differing pixels, % of the image
    double ofLine = 0;  // differing pixels, % of the pixels the data lines cover
};

void RenderScreen(benchmark::State& state, Scene* scene, LineDrawing lines,
                  const QImage* background, const Deviation* deviation)
{
    ShowFlags show = scene->show;
    show.ShowBackground = background != nullptr;
    QImage image(Width, Height, QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter p(&image);
        RenderPlot(p, Dpi, Dpi, scene->out, scene->record, show, background, lines);
    }
    state.counters["samples"] = double(Sets) * SampleBlock::Capacity;
    if (deviation) {
        state.counters["differing_pixels_%"] = deviation->ofImage;
        state.counters["differing_of_line_pixels_%"] = deviation->ofLine;
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    benchmark::Initialize(&argc, argv);
    QGuiApplication app(argc, argv);
    Scene scene;

    const QImage reduced = scene.Render(LineDrawing::PerColumn);
    const QImage everySample = scene.Render(LineDrawing::EverySample);
    const QImage noData = scene.Render(LineDrawing::PerColumn, false);
    const double differing = double(DifferentPixels(reduced, everySample));
    Deviation deviation;
    deviation.ofImage = 100.0 * differing / (Width * Height);
    deviation.ofLine = 100.0 * differing / double(DifferentPixels(everySample, noData));

    const QImage logo = BackgroundLogo();

    // The screen case: the figure that counts is this one's median.
    benchmark::RegisterBenchmark("RenderPlot/10x65536/per-column", RenderScreen, &scene,
                                 LineDrawing::PerColumn, nullptr, &deviation)
        ->Unit(benchmark::kMillisecond)
        ->Repetitions(10)
        ->ReportAggregatesOnly(true);
    benchmark::RegisterBenchmark("RenderPlot/10x65536/per-column/logo", RenderScreen, &scene,
                                 LineDrawing::PerColumn, &logo, nullptr)
        ->Unit(benchmark::kMillisecond)
        ->Repetitions(5)
        ->ReportAggregatesOnly(true);
    // The plain polyline through every sample, for comparison.
    benchmark::RegisterBenchmark("RenderPlot/10x65536/every-sample", RenderScreen, &scene,
                                 LineDrawing::EverySample, nullptr, nullptr)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(3);

    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
