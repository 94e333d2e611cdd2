#include "ColumnReduction.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>

namespace vexa {

namespace {

// The drawn time and altitude of sample i. Plain records (no scale or
// offset, nearly all of them) skip the arithmetic.
template <bool Plain> struct Samples {
    const double* time;
    const double* altitude;
    double ts, to, as, ao;

    double Time(int i) const { return Plain ? time[i] : time[i] * ts + to; }
    double Value(int i) const { return Plain ? altitude[i] : altitude[i] * as + ao; }
    // NaN maps below the window; as -infinity it also orders that way.
    double Altitude(int i) const
    {
        const double a = Value(i);
        return a == a ? a : -HUGE_VAL;
    }
};

// The times that map into pixel column x: [from, to). Mapping is monotonic
// in time, so a run can be found by comparing times instead of mapping every
// sample; the bounds are found by stepping from a first guess one double at
// a time, so they are exact.
class ColumnBounds {
public:
    explicit ColumnBounds(const PlotMapping& map)
        : map_(map), min_(map.TimeMin()), max_(map.TimeMax()), width_(map.Width()),
          // Monotonic only while every column lies left of where later times go.
          usable_(width_ > 0 && width_ < 9999 && max_ > min_)
    {
    }

    bool Find(int x, double& from, double& to) const
    {
        if (!usable_ || x < 0 || x > width_)
            return false;
        if (!LowerBound(x, from))
            return false;
        if (x == width_) {
            to = std::nextafter(max_, HUGE_VAL);
            return true;
        }
        return LowerBound(x + 1, to);
    }

private:
    // The smallest time that maps to column x or right of it.
    bool LowerBound(int x, double& t) const
    {
        if (x == 0) {
            t = min_;
            return true;
        }
        t = std::clamp(min_ + (max_ - min_) * x / width_, min_, max_);
        for (int step = 0; step < 64; ++step) {
            if (map_.MapTime(t) < x) {
                t = std::nextafter(t, HUGE_VAL);
                continue;
            }
            const double before = std::nextafter(t, -HUGE_VAL);
            if (before < min_ || map_.MapTime(before) < x)
                return true;
            t = before;
        }
        return false; // a guess this far off means values beyond what the mapping resolves
    }

    const PlotMapping& map_;
    double min_, max_;
    int width_;
    bool usable_;
};

// Lowest and highest altitude of samples [i, j), four at a time: one running
// minimum would wait on itself at every sample. The ordered compares pass
// over NaN; a - a turns NaN (and infinity) into NaN in the check sums, and
// such rare runs are done again one sample at a time.
template <bool Plain> void LowHigh(const Samples<Plain>& s, int i, int j, double& low, double& high)
{
    double l0 = s.Value(i), l1 = l0, l2 = l0, l3 = l0;
    double h0 = l0, h1 = l0, h2 = l0, h3 = l0;
    double c0 = l0 - l0, c1 = 0, c2 = 0, c3 = 0;
    int k = i + 1;
    for (; k + 4 <= j; k += 4) {
        const double a0 = s.Value(k), a1 = s.Value(k + 1);
        const double a2 = s.Value(k + 2), a3 = s.Value(k + 3);
        l0 = a0 < l0 ? a0 : l0;
        l1 = a1 < l1 ? a1 : l1;
        l2 = a2 < l2 ? a2 : l2;
        l3 = a3 < l3 ? a3 : l3;
        h0 = a0 > h0 ? a0 : h0;
        h1 = a1 > h1 ? a1 : h1;
        h2 = a2 > h2 ? a2 : h2;
        h3 = a3 > h3 ? a3 : h3;
        c0 += a0 - a0;
        c1 += a1 - a1;
        c2 += a2 - a2;
        c3 += a3 - a3;
    }
    for (; k < j; ++k) {
        const double a = s.Value(k);
        l0 = a < l0 ? a : l0;
        h0 = a > h0 ? a : h0;
        c0 += a - a;
    }
    if (c0 + c1 + c2 + c3 == 0) {
        low = std::min(std::min(l0, l1), std::min(l2, l3));
        high = std::max(std::max(h0, h1), std::max(h2, h3));
        return;
    }
    low = high = s.Altitude(i);
    for (k = i + 1; k < j; ++k) {
        const double a = s.Altitude(k);
        low = a < low ? a : low;
        high = a > high ? a : high;
    }
}

template <bool Plain>
void Runs(const Samples<Plain>& s, int begin, int n, const PlotMapping& map, QPoint origin,
          bool keepOrder, std::vector<ColumnRun>& out)
{
    const ColumnBounds bounds(map);
    double from = 0, to = 0;
    int boundsOf = INT_MIN;

    int i = begin;
    while (i < n) {
        const int x = map.MapTime(s.Time(i));
        int j = i + 1;
        if (x != boundsOf && bounds.Find(x, from, to))
            boundsOf = x;
        else if (x != boundsOf)
            boundsOf = INT_MIN; // Find may have written half of them
        if (x == boundsOf) {
            const double lo = from, hi = to;
            while (j < n) {
                const double t = s.Time(j);
                if (!(t >= lo && t < hi))
                    break;
                ++j;
            }
        } else {
            while (j < n && map.MapTime(s.Time(j)) == x)
                ++j;
        }

        double low, high;
        LowHigh(s, i, j, low, high);
        bool highFirst = false;
        if (keepOrder && low != high) {
            int k = i;
            while (s.Altitude(k) != low && s.Altitude(k) != high)
                ++k;
            highFirst = s.Altitude(k) == high;
        }
        const int y = origin.y();
        out.push_back({origin.x() + x, y + map.MapAltitude(s.Altitude(i)),
                       y + map.MapAltitude(s.Altitude(j - 1)), y + map.MapAltitude(high),
                       y + map.MapAltitude(low), highFirst});
        i = j;
    }
}

} // namespace

void ColumnRuns(const DataSetRecord& record, int begin, int end, const PlotMapping& mapping,
                QPoint origin, bool keepOrder, std::vector<ColumnRun>& out)
{
    const int n = std::clamp(end, 0, record.samples.Count());
    begin = std::clamp(begin, 0, n);
    const PlotMapping map = mapping;
    const double* time = record.samples.time.data();
    const double* altitude = record.samples.altitude.data();
    const double ts = record.timeScale, to = record.timeOffset;
    const double as = record.altitudeScale, ao = record.altitudeOffset;
    if (ts == 1 && to == 0 && as == 1 && ao == 0)
        Runs(Samples<true>{time, altitude, ts, to, as, ao}, begin, n, map, origin, keepOrder, out);
    else
        Runs(Samples<false>{time, altitude, ts, to, as, ao}, begin, n, map, origin, keepOrder, out);
}

void AppendRun(std::vector<ColumnRun>& runs, const ColumnRun& run)
{
    if (runs.empty() || runs.back().x != run.x) {
        runs.push_back(run);
        return;
    }
    ColumnRun& m = runs.back();
    const bool topEarlier = m.topY <= run.topY, bottomEarlier = m.bottomY >= run.bottomY;
    if (topEarlier != bottomEarlier)
        m.topFirst = topEarlier;
    else if (!topEarlier)
        m.topFirst = run.topFirst;
    m.topY = std::min(m.topY, run.topY);
    m.bottomY = std::max(m.bottomY, run.bottomY);
    m.lastY = run.lastY;
}

void RunsToPolyline(const std::vector<ColumnRun>& runs, std::vector<QPoint>& out)
{
    out.clear();
    auto add = [&out](int x, int y) {
        if (out.empty() || out.back() != QPoint(x, y))
            out.emplace_back(x, y);
    };
    for (const ColumnRun& r : runs) {
        add(r.x, r.firstY);
        add(r.x, r.topFirst ? r.topY : r.bottomY);
        add(r.x, r.topFirst ? r.bottomY : r.topY);
        add(r.x, r.lastY);
    }
}

namespace {

// The pixels a flat-capped stroke of width w covers from a run's top to its bottom.
QRect BarOf(const ColumnRun& r, int w)
{
    return QRect(r.x - w / 2, r.topY, w, r.bottomY - r.topY);
}

} // namespace

void RunsToWideLine(const std::vector<ColumnRun>& runs, int w, WideLine& out)
{
    out.rects.clear();
    out.lines.clear();
    const int half = w / 2;
    // A slanted join of width w stays within w / 2 of its ends (rounded up,
    // plus a pixel to spare) above and below.
    const int margin = (w + 1) / 2 + 1;
    for (std::size_t i = 0; i < runs.size(); ++i) {
        const ColumnRun& r = runs[i];
        if (r.bottomY > r.topY)
            out.rects.push_back(BarOf(r, w));
        if (i == 0)
            continue;
        const ColumnRun& p = runs[i - 1];
        const int y1 = p.lastY, y2 = r.firstY;
        if (y1 == y2) {
            const QRect level(std::min(p.x, r.x), y1 - half, std::abs(r.x - p.x), w);
            if (!BarOf(p, w).contains(level) && !BarOf(r, w).contains(level))
                out.rects.push_back(level);
            continue;
        }
        const int top = std::min(y1, y2) - margin, bottom = std::max(y1, y2) + margin;
        auto spans = [&](const ColumnRun& c) { return c.topY <= top && c.bottomY >= bottom; };
        if (std::abs(r.x - p.x) == 1 && spans(p) && spans(r))
            continue;
        out.lines.emplace_back(p.x, y1, r.x, y2);
    }
}

} // namespace vexa
