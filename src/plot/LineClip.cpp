#include "LineClip.h"

#include <algorithm>
#include <cmath>

namespace vexa {

bool ClipSegment(const PlotView& view, QPointF& from, QPointF& to)
{
    const double x0 = from.x(), y0 = from.y();
    const double dx = to.x() - x0, dy = to.y() - y0;
    if (!std::isfinite(dx) || !std::isfinite(dy) || !std::isfinite(x0) || !std::isfinite(y0))
        return false;
    // Liang-Barsky: the share of the segment that lies inside each edge.
    double u0 = 0, u1 = 1;
    const double p[] = {-dx, dx, -dy, dy};
    const double q[] = {x0 - view.TimeMin, view.TimeMax - x0, y0 - view.AltitudeMin,
                        view.AltitudeMax - y0};
    for (int k = 0; k < 4; ++k) {
        if (!(q[k] == q[k]))
            return false;
        if (p[k] == 0) {
            if (q[k] < 0)
                return false;
            continue;
        }
        const double r = q[k] / p[k];
        if (p[k] < 0) {
            if (r > u1)
                return false;
            u0 = std::max(u0, r);
        } else {
            if (r < u0)
                return false;
            u1 = std::min(u1, r);
        }
    }
    // Rounding may put a cut end a hair outside; it belongs on the edge.
    auto onEdge = [&](double u) {
        return QPointF(std::clamp(x0 + u * dx, view.TimeMin, view.TimeMax),
                       std::clamp(y0 + u * dy, view.AltitudeMin, view.AltitudeMax));
    };
    const QPointF a = onEdge(u0), b = onEdge(u1);
    from = a;
    to = b;
    return true;
}

void LinePieces(const DataSetRecord& record, int n, const PlotView& view,
                std::vector<LinePiece>& out)
{
    out.clear();
    n = std::clamp(n, 0, record.samples.Count());
    const double* time = record.samples.time.data();
    const double* altitude = record.samples.altitude.data();
    const double ts = record.timeScale, to = record.timeOffset;
    const double as = record.altitudeScale, ao = record.altitudeOffset;
    auto at = [&](int i) { return QPointF(time[i] * ts + to, altitude[i] * as + ao); };
    auto inside = [&](const QPointF& p) { return InWindow(view, p.x(), p.y()); };

    QPointF prev;
    bool prevInside = false;
    for (int i = 0; i < n; ++i) {
        const QPointF here = at(i);
        const bool hereInside = inside(here);
        if (i == 0) {
            if (hereInside)
                out.push_back({0, 0, std::nullopt, std::nullopt});
        } else if (!prevInside || !hereInside) {
            QPointF a = prev, b = here;
            const bool crosses = ClipSegment(view, a, b);
            if (prevInside) {
                if (crosses && b != prev)
                    out.back().leave = b;
            } else if (hereInside) {
                out.push_back({i, i, std::nullopt, std::nullopt});
                if (crosses && a != here)
                    out.back().enter = a;
            } else if (crosses && a != b) {
                out.push_back({i, i, a, b});
            }
        }
        if (hereInside)
            out.back().end = i + 1;
        prev = here;
        prevInside = hereInside;
    }
}

} // namespace vexa
