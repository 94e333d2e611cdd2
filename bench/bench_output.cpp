// Export of ten full data sets in each image format, and a print of the same
// plot to a 600-dpi PDF page (its time and the file's size).

#include "BenchFlights.h"
#include "output/PlotOutput.h"

#include <QBuffer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPrinter>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace vexa;
using vexa::bench::FillFlights;

namespace {

constexpr int Sets = 10;

struct Scene {
    DataSetStore store;
    PlotRecord record;
    OutputSettings out; // 7.0 x 3.5 inches
    ShowFlags show;
    QTemporaryDir dir;

    Scene()
    {
        record.store = &store;
        record.view = FillFlights(store, Sets);
        out.color = true;
    }
};

void Export(benchmark::State& state, Scene* scene, ImageType type)
{
    const QString path = scene->dir.filePath(QStringLiteral("plot"));
    for (auto _ : state) {
        const QString error =
            ExportPlot(path, type, scene->record, scene->out, scene->show, nullptr);
        if (!error.isEmpty())
            state.SkipWithError(qPrintable(error));
    }
    state.counters["bytes"] = double(QFileInfo(path).size());
    if (type == ImageType::Gif) {
        // Whether this plot's colours fitted a GIF palette or were reduced.
        QBuffer sink;
        sink.open(QIODevice::WriteOnly);
        GifPalette palette = GifPalette::Exact;
        WriteGif(RenderExportImage(scene->record, scene->out, scene->show, nullptr), sink,
                 &palette);
        state.counters["palette"] = double(palette); // 0 exact, 1 commonest, 2 median cut
    }
}

void PrintPdf(benchmark::State& state, Scene* scene)
{
    const QString path = scene->dir.filePath(QStringLiteral("page.pdf"));
    OutputSettings placed = scene->out;
    placed.left = placed.top = 0.5;
    for (auto _ : state) {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setResolution(600);
        printer.setOutputFileName(path);
        const QString error = PrintPlot(printer, scene->record, placed, scene->show, nullptr);
        if (!error.isEmpty())
            state.SkipWithError(qPrintable(error));
    }
    state.counters["bytes"] = double(QFileInfo(path).size());
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    benchmark::Initialize(&argc, argv);
    QGuiApplication app(argc, argv);
    Scene scene;

    const std::pair<const char*, ImageType> formats[] = {{"Export/10x65536/bmp", ImageType::Bitmap},
                                                         {"Export/10x65536/jpeg", ImageType::Jpeg},
                                                         {"Export/10x65536/gif", ImageType::Gif}};
    for (const auto& [name, type] : formats)
        benchmark::RegisterBenchmark(name, Export, &scene, type)
            ->Unit(benchmark::kMillisecond)
            ->Repetitions(5)
            ->ReportAggregatesOnly(true);
    benchmark::RegisterBenchmark("Print/10x65536/pdf-600dpi", PrintPdf, &scene)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(3);

    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
