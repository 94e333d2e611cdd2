#include "MouseTools.h"

#include "LineClip.h"
#include "Navigation.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace vexa {

namespace {

int TruncToInt(double v)
{
    if (!(v == v))
        return 0;
    return int(std::clamp(std::trunc(v), double(INT_MIN), double(INT_MAX)));
}

// Moves shorter than this in data units, on either axis, are clicks.
bool LongEnough(double from, double to)
{
    return std::abs(std::trunc(from - to)) >= 2;
}

} // namespace

bool TimesAscending(const SampleBlock& samples)
{
    const int n = samples.Count();
    const double* t = samples.time.data();
    return std::is_sorted(t, t + n);
}

int NearestSample(const SampleBlock& samples, double t, bool ascending)
{
    const int n = samples.Count();
    if (n < 2)
        return -1;
    const double* time = samples.time.data();
    if (time[0] == time[1])
        return 0;
    if (ascending) {
        const int j = int(std::lower_bound(time, time + n, t) - time);
        if (j == 0)
            return 0;
        if (j >= n)
            return n - 1;
        // Half way between two samples goes to the later one; of samples
        // sharing a time, the first, as the scan picks it.
        if (time[j] - t <= t - time[j - 1])
            return j;
        return int(std::lower_bound(time, time + j, time[j - 1]) - time);
    }
    int best = 0;
    double bestDistance = std::abs(time[0] - t);
    for (int i = 1; i < n; ++i) {
        const double d = std::abs(time[i] - t);
        if (d < bestDistance) {
            bestDistance = d;
            best = i;
        }
    }
    return best;
}

int NearestSample(const SampleBlock& samples, double t)
{
    return NearestSample(samples, t, TimesAscending(samples));
}

QString XYText(const SampleBlock& s, int i)
{
    return QString::asprintf("Time = %8.1f, Altitude = %4d", s.time[std::size_t(i)],
                             TruncToInt(s.altitude[std::size_t(i)]));
}

std::optional<QString> ROCText(const SampleBlock& s, int i)
{
    if (i <= 0)
        return std::nullopt;
    const double dt = s.time[std::size_t(i)] - s.time[std::size_t(i - 1)];
    if (dt == 0)
        return std::nullopt;
    const double rate = (s.altitude[std::size_t(i)] - s.altitude[std::size_t(i - 1)]) / dt;
    return QString::asprintf("Rate of Climb = %8.3f units/sec", rate);
}

MouseTool::MouseTool(PlotRecord& plot) : plot_(plot) {}

DataSetRecord* MouseTool::ActiveSet() const
{
    return plot_.store ? plot_.store->Active() : nullptr;
}

bool MouseTool::InDataArea(QPoint p) const
{
    const PlotRect& r = rect_;
    return r.plotRight > r.plotLeft && r.plotBottom > r.plotTop && p.x() >= r.plotLeft &&
           p.x() <= r.plotRight && p.y() >= r.plotTop && p.y() <= r.plotBottom;
}

QPoint MouseTool::ClampToDataArea(QPoint p) const
{
    const PlotRect& r = rect_;
    if (r.plotRight <= r.plotLeft || r.plotBottom <= r.plotTop)
        return p;
    return QPoint(std::clamp(p.x(), r.plotLeft, r.plotRight),
                  std::clamp(p.y(), r.plotTop, r.plotBottom));
}

bool MouseTool::Dragging(MouseMode mode) const
{
    return (mode == MouseMode::Zoom && zoomDrag_) || (mode == MouseMode::Climb && climbDrag_);
}

int MouseTool::Nearest(const SampleBlock& s, double t)
{
    // A full set is too long to check on every move; it is checked again
    // when it is another set or its length or ends have changed.
    const int n = s.Count();
    const double first = n > 0 ? s.time[0] : 0, last = n > 0 ? s.time[std::size_t(n - 1)] : 0;
    if (!ascendingKnown_ || ascendingOf_ != &s || ascendingCount_ != n ||
        ascendingFirst_ != first || ascendingLast_ != last) {
        ascending_ = TimesAscending(s);
        ascendingKnown_ = true;
        ascendingOf_ = &s;
        ascendingCount_ = n;
        ascendingFirst_ = first;
        ascendingLast_ = last;
    }
    return NearestSample(s, t, ascending_);
}

MouseOutcome MouseTool::Move(QPoint p, MouseMode mode)
{
    MouseOutcome out;
    // A band dragged past the data area ends on its edge.
    const bool dragging = Dragging(mode);
    if (dragging)
        p = ClampToDataArea(p);
    DataSetRecord* set = ActiveSet();
    if (!set || !InDataArea(p))
        return out;
    const SampleBlock& s = set->samples;
    if (s.Count() < 2)
        return out;

    const PlotRect& r = rect_;
    const double t = PixelToTime(plot_.view, r, p.x());
    const double a = PixelToAltitude(plot_.view, r, p.y());
    const int i = Nearest(s, t);

    const DragPoint here{p.x(), p.y(), t, a};
    if (mode != MouseMode::Peak) {
        corner_ = here;
        if (!dragging)
            anchor_ = here;
    }

    out.xyText = XYText(s, i);
    out.rocText = ROCText(s, i);

    // A sample outside the window gets no circle: on an edge it would look like data.
    const PlotMapping map(plot_.view, r);
    const double ti = s.time[std::size_t(i)], ai = s.altitude[std::size_t(i)];
    cursorMark_.reset();
    if (InWindow(plot_.view, ti, ai))
        cursorMark_ = QPoint(r.plotLeft + map.MapTime(ti), r.plotTop + map.MapAltitude(ai));
    nearest_ = i;
    out.overlay = true;
    return out;
}

MouseOutcome MouseTool::Press(Qt::MouseButton button, QPoint p, MouseMode mode)
{
    DataSetRecord* set = ActiveSet();
    if (!set)
        return {};
    // A press where no move has been seen yet (a touch, a synthetic click)
    // acts where it happens; a drag begun off the data area starts on its edge.
    const bool drags =
        mode == MouseMode::Climb || (mode == MouseMode::Zoom && button == Qt::LeftButton);
    MouseOutcome out = Move(drags ? ClampToDataArea(p) : p, mode);
    switch (mode) {
    case MouseMode::Zoom:
        if (button == Qt::LeftButton && !zoomDrag_) {
            zoomDrag_ = true;
            out.overlay = true;
        }
        break;
    case MouseMode::Climb:
        climbDrag_ = true;
        climbStart_ = nearest_;
        out.overlay = true;
        break;
    case MouseMode::Peak: {
        SampleBlock& s = set->samples;
        if (s.HasPeakMarks() && nearest_ >= 0 && nearest_ < s.Count()) {
            std::uint8_t& mark = s.peakMarks[std::size_t(nearest_)];
            mark = mark ? 0 : 1;
            out.marksChanged = true;
        }
        out.render = true;
        break;
    }
    }
    return out;
}

MouseOutcome MouseTool::Release(Qt::MouseButton button, QPoint p, MouseMode mode)
{
    if (button != Qt::LeftButton)
        return {};
    MouseOutcome out = Move(p, mode);
    if (mode == MouseMode::Zoom && zoomDrag_) {
        zoomDrag_ = false;
        out.render = true;
        if (LongEnough(anchor_.t, corner_.t) && LongEnough(anchor_.a, corner_.a))
            out.windowChanged =
                SetWindow(plot_, {std::min(anchor_.t, corner_.t), std::max(anchor_.t, corner_.t),
                                  std::min(anchor_.a, corner_.a), std::max(anchor_.a, corner_.a)});
    } else if (mode == MouseMode::Climb && climbDrag_) {
        DataSetRecord* set = ActiveSet();
        if (!set)
            return out;
        climbDrag_ = false;
        out.render = true;
        const SampleBlock& s = set->samples;
        const int n = s.Count();
        const int slot = set->FreeClimbSlot();
        const bool valid = climbStart_ >= 0 && climbStart_ < n && nearest_ >= 0 && nearest_ < n;
        // Both ends on one time would give the climb no rate.
        if (slot >= 0 && valid && LongEnough(anchor_.t, corner_.t) &&
            LongEnough(anchor_.a, corner_.a) &&
            s.time[std::size_t(climbStart_)] != s.time[std::size_t(nearest_)]) {
            set->climbMarks[std::size_t(slot)] = ClimbMark{climbStart_, nearest_, true};
            out.marksChanged = true;
        }
    }
    return out;
}

PlotOverlay MouseTool::Overlay() const
{
    PlotOverlay o;
    o.background = plot_.BGColor;
    o.cursor = cursorMark_;
    if (zoomDrag_)
        o.zoomBand = QRect(QPoint(anchor_.x, anchor_.y), QPoint(corner_.x, corner_.y)).normalized();
    if (climbDrag_)
        o.climbLines =
            PlotOverlay::ClimbLines{anchor_.x, corner_.x, rect_.plotTop, rect_.plotBottom};
    return o;
}

} // namespace vexa
