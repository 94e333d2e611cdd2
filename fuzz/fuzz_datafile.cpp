// Arbitrary bytes as a data file, single-set or plot; a refused file makes
// no set and changes no text. Every set must stay
// within its capacity and hold only values that parsed; what was read must
// survive a save and a second load, up to the four decimals written.
#include "data/DataFile.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

using namespace vexa;

namespace {

// Two sets reach every path of the set loop.
constexpr int MaxSets = 2;

void Check(bool ok)
{
    if (!ok)
        std::abort();
}

void CheckSet(const DataSetRecord& set)
{
    const SampleBlock& s = set.samples;
    const SampleBlock& t = set.triggers->samples;
    Check(s.Count() >= 0 && s.Count() <= SampleBlock::Capacity);
    Check(t.Count() >= 0 && t.Count() <= s.Count());
    Check(set.name.size() <= NameMax);
    for (const QString* note : {&set.note1, &set.note2, &set.note3})
        Check(note->size() <= NoteMax);
    for (int i = 0; i < s.Count(); ++i)
        Check(std::isfinite(s.time[std::size_t(i)]) && std::isfinite(s.altitude[std::size_t(i)]));
    for (const ClimbMark& m : set.climbMarks)
        if (m.used)
            Check(m.firstSample >= 0 && m.firstSample < s.Count() && m.lastSample >= 0 &&
                  m.lastSample < s.Count());
}

void CheckPlot(const PlotFileHeader& p)
{
    for (const QString* text :
         {&p.Title, &p.XAxisLabel, &p.YAxisLabel, &p.Info1, &p.Info2, &p.Info3})
        Check(text->size() <= 255);
    Check(std::isfinite(p.view.TimeMin) && std::isfinite(p.view.TimeMax) &&
          p.view.TimeMax > p.view.TimeMin);
    Check(std::isfinite(p.view.AltitudeMin) && std::isfinite(p.view.AltitudeMax) &&
          p.view.AltitudeMax > p.view.AltitudeMin);
}

// Lines end in CR LF, and no CR stands alone.
void CheckLineEnds(const QByteArray& bytes)
{
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\n')
            Check(i > 0 && bytes[i - 1] == '\r');
        if (bytes[i] == '\r')
            Check(i + 1 < bytes.size() && bytes[i + 1] == '\n');
    }
}

bool StrictlyRising(const SampleBlock& s)
{
    for (int i = 1; i < s.Count(); ++i)
        if (!(s.time[std::size_t(i)] > s.time[std::size_t(i - 1)]))
            return false;
    return true;
}

bool Near(double a, double b)
{
    return std::fabs(a - b) <= 5.0001e-5 + std::fabs(a) * 1e-15;
}

// The second load holds what the first did, times and altitudes rounded to
// four decimals.
void CheckSame(const DataSetStore& a, const DataSetStore& b)
{
    Check(a.SetCount() == b.SetCount());
    for (int k = 0; k < a.SetCount(); ++k) {
        const DataSetRecord& x = a.Set(k);
        const DataSetRecord& y = b.Set(k);
        Check(x.samples.Count() == y.samples.Count());
        for (int i = 0; i < x.samples.Count(); ++i) {
            const std::size_t u = std::size_t(i);
            Check(Near(x.samples.time[u], y.samples.time[u]));
            Check(Near(x.samples.altitude[u], y.samples.altitude[u]));
            Check(x.samples.peakMarks[u] == y.samples.peakMarks[u]);
        }
        for (int i = 0; i < ClimbMarkSlots; ++i) {
            const ClimbMark& m = x.climbMarks[std::size_t(i)];
            const ClimbMark& n = y.climbMarks[std::size_t(i)];
            Check(m.used == n.used && m.firstSample == n.firstSample &&
                  m.lastSample == n.lastSample);
        }
        Check(x.lineColor == y.lineColor && x.lineStyle == y.lineStyle);
        Check(x.pointColor == y.pointColor && x.pointStyle == y.pointStyle);
        Check(x.triggers->pointColor == y.triggers->pointColor &&
              x.triggers->pointStyle == y.triggers->pointStyle);
        // Trigger marks follow sample times, which only rising times keep.
        if (StrictlyRising(x.samples) && StrictlyRising(y.samples)) {
            Check(x.triggers->samples.Count() == y.triggers->samples.Count());
            for (int j = 0; j < x.triggers->samples.Count(); ++j)
                Check(Near(x.triggers->samples.time[std::size_t(j)],
                           y.triggers->samples.time[std::size_t(j)]));
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArrayView bytes(data, qsizetype(size));
    DataSetStore store;
    PlotFileHeader plot;
    const LoadResult r = LoadDataBytes(bytes, store, plot, MaxSets);
    if (!r.ok()) {
        // Refused: nothing made, nothing changed.
        const PlotFileHeader untouched;
        Check(store.SetCount() == 0 && r.setsAdded == 0 && plot.Title == untouched.Title &&
              plot.view.TimeMax == untouched.view.TimeMax);
        return 0;
    }
    Check(r.setsAdded == store.SetCount() && r.setsAdded <= MaxSets);
    Check(r.setsAdded >= 1 || r.plotFile);
    for (int k = 0; k < store.SetCount(); ++k)
        CheckSet(store.Set(k));
    CheckPlot(plot);

    const QByteArray once = PlotFileBytes(store, plot);
    CheckLineEnds(once);
    if (store.SetCount() > 0)
        CheckLineEnds(SetFileBytes(store, 0, plot));

    DataSetStore second;
    PlotFileHeader secondPlot;
    const LoadResult r2 = LoadDataBytes(once, second, secondPlot, MaxSets);
    Check(r2.plotFile && r2.setsAdded == r.setsAdded && r2.skippedLines == 0);
    Check(!r2.stoppedAtCapacity && !r2.stoppedAtSetLimit);
    CheckSame(store, second);
    return 0;
}
