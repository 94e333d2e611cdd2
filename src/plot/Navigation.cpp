#include "Navigation.h"

#include <QByteArray>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace vexa {

namespace {

bool UsableAxis(double min, double max)
{
    return std::isfinite(min) && std::isfinite(max) && max > min && std::isfinite(max - min);
}

} // namespace

bool IsUsableWindow(const PlotView& w)
{
    return UsableAxis(w.TimeMin, w.TimeMax) && UsableAxis(w.AltitudeMin, w.AltitudeMax);
}

bool SetWindow(PlotRecord& plot, const PlotView& window)
{
    if (!IsUsableWindow(window))
        return false;
    plot.view = window;
    return true;
}

bool Zoom(PlotRecord& plot, double factor)
{
    const PlotView& v = plot.view;
    const double timeSpan = v.TimeSpan();
    const double altitudeSpan = v.AltitudeSpan();
    const double timeCentre = v.TimeMin + 0.5 * timeSpan;
    const double altitudeCentre = v.AltitudeMin + 0.5 * altitudeSpan;
    const double newTimeSpan = std::max(factor * timeSpan, MinZoomSpan);
    const double newAltitudeSpan = std::max(factor * altitudeSpan, MinZoomSpan);
    const double timeMin = timeCentre - 0.5 * newTimeSpan;
    const double altitudeMin = altitudeCentre - 0.5 * newAltitudeSpan;
    return SetWindow(plot,
                     {timeMin, timeMin + newTimeSpan, altitudeMin, altitudeMin + newAltitudeSpan});
}

bool Pan(PlotRecord& plot, PanDirection direction, double fraction)
{
    const PlotView& v = plot.view;
    const double dt = fraction * v.TimeSpan();
    const double da = fraction * v.AltitudeSpan();
    double t = 0, a = 0;
    switch (direction) {
    case PanDirection::Left:
        t = -dt;
        break;
    case PanDirection::Right:
        t = dt;
        break;
    case PanDirection::Up:
        a = da;
        break;
    case PanDirection::Down:
        a = -da;
        break;
    }
    return SetWindow(plot, {v.TimeMin + t, v.TimeMax + t, v.AltitudeMin + a, v.AltitudeMax + a});
}

bool GoHome(PlotRecord& plot)
{
    return SetWindow(plot, PlotView{});
}

bool ResetToFull(PlotRecord& plot, const FullExtent& full)
{
    return SetWindow(plot, full);
}

void FitWindowToData(const DataSetStore& store, PlotRecord& plot, FullExtent& full)
{
    Extent e;
    if (store.ComputeTimeExtent(e) && UsableAxis(e.low, e.high)) {
        plot.view.TimeMin = full.TimeMin = e.low;
        plot.view.TimeMax = full.TimeMax = e.high;
    }
    if (store.ComputeAltitudeExtent(e) && UsableAxis(e.low, e.high)) {
        plot.view.AltitudeMin = full.AltitudeMin = e.low;
        plot.view.AltitudeMax = full.AltitudeMax = e.high;
    }
}

PlotKey PlotKeyAction(int key, Qt::KeyboardModifiers modifiers, bool plotPageCurrent)
{
    if (!plotPageCurrent)
        return PlotKey::None;
    if (key == Qt::Key_Home)
        return PlotKey::Home;
    // Ctrl wins over Shift when both are held.
    if (modifiers & Qt::ControlModifier) {
        switch (key) {
        case Qt::Key_Left:
            return PlotKey::StretchTime;
        case Qt::Key_Right:
            return PlotKey::ShrinkTime;
        case Qt::Key_Up:
            return PlotKey::ShrinkAltitude;
        case Qt::Key_Down:
            return PlotKey::StretchAltitude;
        default:
            return PlotKey::None;
        }
    }
    if (modifiers & Qt::ShiftModifier) {
        switch (key) {
        case Qt::Key_Left:
            return PlotKey::PanLeft;
        case Qt::Key_Right:
            return PlotKey::PanRight;
        case Qt::Key_Up:
            return PlotKey::PanUp;
        case Qt::Key_Down:
            return PlotKey::PanDown;
        default:
            return PlotKey::None;
        }
    }
    return PlotKey::None;
}

bool ApplyPlotKey(PlotRecord& plot, PlotKey action)
{
    const PlotView v = plot.view;
    const double t0 = v.TimeMin, a0 = v.AltitudeMin;
    switch (action) {
    case PlotKey::None:
        return false;
    case PlotKey::StretchTime:
        return SetWindow(plot, {t0, t0 + 2.0 * v.TimeSpan(), a0, v.AltitudeMax});
    case PlotKey::ShrinkTime:
        return SetWindow(plot, {t0, t0 + 0.5 * v.TimeSpan(), a0, v.AltitudeMax});
    case PlotKey::ShrinkAltitude:
        return SetWindow(plot, {t0, v.TimeMax, a0, a0 + 0.5 * v.AltitudeSpan()});
    case PlotKey::StretchAltitude:
        return SetWindow(plot, {t0, v.TimeMax, a0, a0 + 2.0 * v.AltitudeSpan()});
    case PlotKey::PanLeft:
        return Pan(plot, PanDirection::Left, KeyPanFraction);
    case PlotKey::PanRight:
        return Pan(plot, PanDirection::Right, KeyPanFraction);
    case PlotKey::PanUp:
        return Pan(plot, PanDirection::Up, KeyPanFraction);
    case PlotKey::PanDown:
        return Pan(plot, PanDirection::Down, KeyPanFraction);
    case PlotKey::Home:
        return GoHome(plot);
    }
    return false;
}

std::optional<CropRange> FindCropRange(const SampleBlock& samples, double timeMin, double timeMax)
{
    const int n = samples.Count();
    const std::vector<double>& time = samples.time;
    int first = 0;
    while (first < n && !(time[std::size_t(first)] >= timeMin))
        ++first;
    if (first >= n)
        return std::nullopt;
    int last = n - 1;
    while (last >= first && !(time[std::size_t(last)] <= timeMax))
        --last;
    if (last < first)
        return std::nullopt;
    return CropRange{first, last};
}

bool CropDataSet(DataSetRecord& altitudeRecord, double timeMin, double timeMax)
{
    SampleBlock& s = altitudeRecord.samples;
    const std::optional<CropRange> range = FindCropRange(s, timeMin, timeMax);
    if (!range)
        return false;
    const int first = range->first, last = range->last;
    const double start = s.time[std::size_t(first)];
    const double end = s.time[std::size_t(last)];

    if (DataSetRecord* triggers = altitudeRecord.triggers) {
        SampleBlock& trig = triggers->samples;
        const int m = trig.Count();
        int kept = 0;
        for (int j = 0; j < m; ++j) {
            const double t = trig.time[std::size_t(j)];
            if (!(t >= start && t <= end))
                continue;
            trig.time[std::size_t(kept)] = t - start;
            trig.altitude[std::size_t(kept)] = trig.altitude[std::size_t(j)];
            if (trig.HasPeakMarks())
                trig.peakMarks[std::size_t(kept)] = trig.peakMarks[std::size_t(j)];
            ++kept;
        }
        trig.Resize(kept);
    }

    // Moving down never overwrites a sample still to be read.
    const bool peaks = s.HasPeakMarks();
    for (int j = first; j <= last; ++j) {
        const std::size_t from = std::size_t(j), to = std::size_t(j - first);
        s.time[to] = s.time[from] - start;
        s.altitude[to] = s.altitude[from];
        if (peaks)
            s.peakMarks[to] = s.peakMarks[from];
    }
    s.Resize(last - first + 1);

    for (ClimbMark& m : altitudeRecord.climbMarks) {
        if (!m.used)
            continue;
        const bool inside = m.firstSample >= first && m.firstSample <= last &&
                            m.lastSample >= first && m.lastSample <= last;
        if (inside) {
            m.firstSample -= first;
            m.lastSample -= first;
        } else {
            m = ClimbMark{};
        }
    }
    return true;
}

int CropToWindow(DataSetStore& store, PlotRecord& plot, FullExtent& full)
{
    int cut = 0;
    for (int k = 0; k < store.SetCount(); ++k)
        if (CropDataSet(store.Set(k), plot.view.TimeMin, plot.view.TimeMax))
            ++cut;
    FitWindowToData(store, plot, full);
    return cut;
}

QString WindowNumberText(double v)
{
    return QString::number(v, 'g', 15);
}

WindowTexts WindowToTexts(const PlotRecord& plot)
{
    const PlotView& v = plot.view;
    return {WindowNumberText(v.TimeMin), WindowNumberText(v.TimeMax),
            WindowNumberText(v.AltitudeMin), WindowNumberText(v.AltitudeMax)};
}

std::optional<double> LeadingNumber(const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    const char* p = bytes.constData();
    const char* const end = p + bytes.size();
    while (p < end && (*p == ' ' || (*p >= '\t' && *p <= '\r')))
        ++p;
    bool negative = false;
    if (p < end && (*p == '+' || *p == '-')) {
        negative = *p == '-';
        ++p;
    }
    // from_chars takes no sign of its own but a minus, so the sign is ours.
    if (p == end || *p == '-' || *p == '+')
        return std::nullopt;
    double value = 0;
    const std::from_chars_result r = std::from_chars(p, end, value);
    if (r.ptr == p)
        return std::nullopt;
    if (r.ec == std::errc::result_out_of_range)
        value = std::numeric_limits<double>::infinity(); // refused as unusable
    return negative ? -value : value;
}

namespace {

// A scanned text, at most 39 characters of it, as the dialog reads it.
double ReadOr(const QString& text, double current)
{
    return LeadingNumber(text.left(39)).value_or(current);
}

QString CheckAxis(double min, double max, const QString& minName, const QString& maxName)
{
    if (!std::isfinite(min))
        return QStringLiteral("%1 is not a usable number.").arg(minName);
    if (!std::isfinite(max))
        return QStringLiteral("%1 is not a usable number.").arg(maxName);
    if (!(min < max))
        return QStringLiteral("%1 must be less than %2.").arg(minName, maxName);
    if (!std::isfinite(max - min))
        return QStringLiteral("%1 and %2 are too far apart.").arg(minName, maxName);
    return {};
}

} // namespace

QString ApplyWindowTexts(const WindowTexts& texts, PlotRecord& plot, FullExtent& full)
{
    const PlotView& v = plot.view;
    const double timeMin = ReadOr(texts.timeMin, v.TimeMin);
    const double timeMax = ReadOr(texts.timeMax, v.TimeMax);
    const double altitudeMin = ReadOr(texts.altitudeMin, v.AltitudeMin);
    const double altitudeMax = ReadOr(texts.altitudeMax, v.AltitudeMax);
    QString problem =
        CheckAxis(timeMin, timeMax, QStringLiteral("Time Min"), QStringLiteral("Time Max"));
    if (problem.isEmpty())
        problem = CheckAxis(altitudeMin, altitudeMax, QStringLiteral("Altitude Min"),
                            QStringLiteral("Altitude Max"));
    if (!problem.isEmpty())
        return problem;
    SetWindow(plot, {timeMin, timeMax, altitudeMin, altitudeMax});
    full = plot.view;
    return {};
}

} // namespace vexa
