// Saving and loading a plot file of ten full data sets (655,360 sample
// lines), and, for scale, a plain fgets/sscanf loop over the same file.
// Run: bench_datafile --benchmark_counters_tabular=true

#include "data/DataFile.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <random>

using namespace vexa;

namespace {

constexpr int Sets = 10;

struct Fixture {
    QTemporaryDir dir;
    DataSetStore store;
    PlotFileHeader plot;
    QString path;
    qint64 bytes = 0;

    Fixture()
    {
        std::mt19937 random(33);
        for (int k = 0; k < Sets; ++k) {
            DataSetRecord& set = store.NewDataSet();
            std::normal_distribution<double> noise(0.0, 2.0 + k);
            SampleBlock& s = set.samples;
            s.Resize(SampleBlock::Capacity);
            const double apogee = 900 + 150 * k;
            for (int i = 0; i < s.Count(); ++i) {
                const double t = i * 0.05;
                const double a = t < 12 ? apogee * std::sin(t / 12 * M_PI / 2)
                                        : std::max(0.0, apogee - 6.5 * (t - 12));
                s.time[std::size_t(i)] = t;
                s.altitude[std::size_t(i)] = a + noise(random);
                s.peakMarks[std::size_t(i)] = i % 5000 == 240;
            }
            // Every other set was recorded with the trigger input.
            set.triggers->visible = k % 2 == 0;
            SampleBlock& trig = set.triggers->samples;
            trig.Resize(set.triggers->visible ? 20 : 0);
            for (int j = 0; j < trig.Count(); ++j)
                trig.time[std::size_t(j)] = s.time[std::size_t(j * 3000 + 7)];
            set.climbMarks[0] = {10, 240, true};
            set.note3 = QStringLiteral("set %1").arg(k);
        }
        plot.Title = QStringLiteral("Ten flights");
        plot.view.TimeMax = 3300;
        plot.view.AltitudeMax = 3000;
        path = dir.filePath(QStringLiteral("Plot.csv"));
        if (!SavePlot(path, store, plot).ok)
            std::abort();
        bytes = QFileInfo(path).size();
    }
};

Fixture& Data()
{
    static Fixture f;
    return f;
}

double sscanfSeconds = 0; // mean of the sscanf loop, for the load's ratio

double Seconds(std::chrono::steady_clock::time_point since)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

void SscanfLoop(benchmark::State& state)
{
    Fixture& f = Data();
    std::vector<double> time(std::size_t(Sets) * SampleBlock::Capacity);
    std::vector<double> altitude(time.size());
    std::vector<int> peak(time.size());
    const QByteArray name = QFile::encodeName(f.path);
    double total = 0;
    long lines = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        FILE* file = std::fopen(name.constData(), "r");
        char line[512];
        std::size_t n = 0;
        lines = 0;
        while (std::fgets(line, sizeof line, file)) {
            ++lines;
            if (line[0] == '#' || line[0] == '!' || line[0] == 'V' || n >= time.size())
                continue;
            int mark = 0;
            if (std::sscanf(line, "%lf, %lf, %d, %d", &time[n], &altitude[n], &mark, &peak[n]) >= 2)
                ++n;
        }
        std::fclose(file);
        benchmark::DoNotOptimize(n);
        total += Seconds(start);
    }
    sscanfSeconds = total / double(state.iterations());
    state.counters["lines"] = double(lines);
    state.SetBytesProcessed(state.iterations() * f.bytes);
}

void LoadPlot(benchmark::State& state)
{
    Fixture& f = Data();
    double total = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        DataSetStore store;
        PlotFileHeader plot;
        const LoadResult r = LoadDataFile(f.path, store, plot);
        total += Seconds(start);
        if (r.setsAdded != Sets || store.Set(Sets - 1).samples.Count() != SampleBlock::Capacity)
            state.SkipWithError("the plot file did not load whole");
    }
    const double mean = total / double(state.iterations());
    if (sscanfSeconds > 0)
        state.counters["times_faster_than_sscanf"] = sscanfSeconds / mean;
    state.SetBytesProcessed(state.iterations() * f.bytes);
}

void SavePlotFile(benchmark::State& state)
{
    Fixture& f = Data();
    const QString target = f.dir.filePath(QStringLiteral("Saved.csv"));
    for (auto _ : state) {
        if (!SavePlot(target, f.store, f.plot).ok)
            state.SkipWithError("save failed");
    }
    state.SetBytesProcessed(state.iterations() * f.bytes);
}

} // namespace

// The sscanf loop runs first so the load can report its ratio to it.
BENCHMARK(SscanfLoop)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(LoadPlot)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(SavePlotFile)->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK_MAIN();
