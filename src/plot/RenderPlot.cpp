#include "RenderPlot.h"

#include "ColumnReduction.h"
#include "LineClip.h"
#include "platform/Fonts.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <optional>

namespace vexa {

Ticks ChooseTicks(double min, double max)
{
    constexpr int MaxTicks = 64;
    Ticks t;
    if (min >= max)
        max = min + 1.0;
    const double r = (max - min) * 0.1;
    const double p = std::pow(10.0, std::trunc(std::log10(r)) - 1);
    double step = std::trunc(r / p) * p;
    if (!(step > 0) || !std::isfinite(step) || !std::isfinite(min))
        return t;
    while (std::trunc((max - min) / step) > 12)
        step *= 2;

    double first = std::trunc(min / step) * step;
    if (first < min)
        first += step;
    t.step = step;
    t.first = first;
    t.last = first - step;
    // The renderer walks the same sums, so every value it reaches is here.
    // A step below the values' precision would never move; stop there.
    for (double x = first; x <= max && t.count < MaxTicks; x += step) {
        t.last = x;
        ++t.count;
        if (x + step == x)
            break;
    }
    const int d = int(std::trunc(std::log10(step))) - 1;
    t.decimals = d > 0 ? 0 : std::min(-d, 30);
    return t;
}

double AverageClimb(const DataSetRecord& record, double timeMin, double timeMax)
{
    const SampleBlock& s = record.samples;
    const int n = s.Count();
    int start = 0;
    while (start < n && !(s.time[std::size_t(start)] >= timeMin))
        ++start;
    int end = n - 1;
    while (end >= 0 && !(s.time[std::size_t(end)] <= timeMax))
        --end;
    if (start >= n || end < 0)
        return 0;
    const double dt = s.time[std::size_t(end)] - s.time[std::size_t(start)];
    if (dt == 0)
        return 0;
    return (s.altitude[std::size_t(end)] - s.altitude[std::size_t(start)]) / dt;
}

namespace {

// Flat caps end a line one pixel short of its end point, so the coordinates
// below name the first pixel past a stroke, like every end point here.
QPen Pen(const QColor& color, int width, Qt::PenStyle style = Qt::SolidLine)
{
    return QPen(QBrush(color), width, style, Qt::FlatCap, Qt::BevelJoin);
}

// Every text size in the plot is the height of the text cell (ascent plus
// descent), so pick the largest pixel size whose cell fits.
void SetCellHeight(QFont& font, int height, const QPaintDevice* device)
{
    height = std::max(1, height);
    font.setPixelSize(height);
    const int cell = QFontMetrics(font, device).height();
    if (cell <= height)
        return;
    int size = std::max(1, height * height / cell);
    font.setPixelSize(size);
    while (size > 1 && QFontMetrics(font, device).height() > height)
        font.setPixelSize(--size);
}

// Text placed by the top-left corner of its cell, in a colour of its own
// while the pen stays what the lines need.
class TextPen {
public:
    explicit TextPen(QPainter& p) : p_(p) {}

    void SetColor(const QColor& c) { color_ = c; }
    void SetFont(const QFont& f)
    {
        p_.setFont(f);
        metrics_ = QFontMetrics(f, p_.device());
    }
    int Width(const QString& s) const { return metrics_.horizontalAdvance(s); }
    int Height() const { return metrics_.height(); }

    void Draw(int x, int y, const QString& s)
    {
        const QPen keep = p_.pen();
        p_.setPen(color_);
        p_.drawText(x, y + metrics_.ascent(), s);
        p_.setPen(keep);
    }
    // Centred over the data area like the title.
    void DrawCentred(const PlotRect& r, int y, const QString& s)
    {
        Draw(r.plotLeft + (r.plotRight - r.plotLeft) / 2 - Width(s) / 2, y, s);
    }

private:
    QPainter& p_;
    QColor color_;
    QFontMetrics metrics_{QFont()};
};

struct RecordPass {
    QPainter& p;
    TextPen& text;
    const PlotRecord& plot;
    const PlotRect& rect;
    const PlotMapping& map;
    bool color;
    int dpiX;
    int sx, sy;
    LineDrawing lines;
    std::vector<QPoint> points; // the samples in the window, mapped when a drawing needs them all
    std::vector<LinePiece> pieces;
    std::vector<ColumnRun> runs, pieceRuns;
    std::vector<QPoint> polyline;
    WideLine wide, wholeLine;
    // Peak labels go on top of every line, so no later set hides them.
    struct Label {
        QPoint at;
        QString text;
    };
    std::vector<Label> labels;
};

QPointF Drawn(const DataSetRecord& r, int i)
{
    return QPointF(r.samples.time[std::size_t(i)] * r.timeScale + r.timeOffset,
                   r.samples.altitude[std::size_t(i)] * r.altitudeScale + r.altitudeOffset);
}

QPoint Pixel(const RecordPass& pass, QPointF drawn)
{
    return QPoint(pass.rect.plotLeft + pass.map.MapTime(drawn.x()),
                  pass.rect.plotTop + pass.map.MapAltitude(drawn.y()));
}

QPoint Position(const RecordPass& pass, const DataSetRecord& r, int i)
{
    return Pixel(pass, Drawn(r, i));
}

bool Inside(const RecordPass& pass, const DataSetRecord& r, int i)
{
    const QPointF p = Drawn(r, i);
    return InWindow(pass.plot.view, p.x(), p.y());
}

void MapSamplesInside(RecordPass& pass, const DataSetRecord& r, int n)
{
    pass.points.clear();
    for (int i = 0; i < n; ++i) {
        const QPointF p = Drawn(r, i);
        if (InWindow(pass.plot.view, p.x(), p.y()))
            pass.points.push_back(Pixel(pass, p));
    }
}

ColumnRun PointRun(QPoint p)
{
    return {p.x(), p.y(), p.y(), p.y(), p.y(), false};
}

// The line is drawn only where it lies in the window: each piece runs from
// where it crosses an edge, at its true slope, through the samples inside.
// Pieces that leave and come back on one pixel are drawn as one.
void DrawLine(RecordPass& pass, const DataSetRecord& r, int n)
{
    const QColor color = pass.color ? ToQColor(r.lineColor) : QColor(Qt::black);
    const Qt::PenStyle style = LinePenStyle(r.lineStyle);
    const int width = style == Qt::SolidLine ? std::max(2, pass.dpiX / 150) : 1;
    pass.p.setPen(Pen(color, width, style));
    if (n < 2)
        return;
    LinePieces(r, n, pass.plot.view, pass.pieces);
    const bool everySample = pass.lines == LineDrawing::EverySample;
    const QPoint origin(pass.rect.plotLeft, pass.rect.plotTop);
    WideLine& whole = pass.wholeLine;
    whole.rects.clear();
    whole.lines.clear();
    pass.runs.clear();
    pass.polyline.clear();
    auto flush = [&] {
        if (!everySample && width > 1) {
            RunsToWideLine(pass.runs, width, pass.wide);
            whole.rects.insert(whole.rects.end(), pass.wide.rects.begin(), pass.wide.rects.end());
            whole.lines.insert(whole.lines.end(), pass.wide.lines.begin(), pass.wide.lines.end());
        } else {
            // Thin pens keep one polyline a piece so dash patterns run on across samples.
            if (!everySample)
                RunsToPolyline(pass.runs, pass.polyline);
            if (pass.polyline.size() > 1)
                pass.p.drawPolyline(pass.polyline.data(), int(pass.polyline.size()));
        }
        pass.runs.clear();
        pass.polyline.clear();
    };
    std::optional<QPoint> chainEnd;
    for (const LinePiece& piece : pass.pieces) {
        const std::optional<QPoint> enter =
            piece.enter ? std::optional(Pixel(pass, *piece.enter)) : std::nullopt;
        if (!enter || enter != chainEnd)
            flush();
        if (everySample) {
            if (enter && (pass.polyline.empty() || pass.polyline.back() != *enter))
                pass.polyline.push_back(*enter);
            for (int i = piece.begin; i < piece.end; ++i)
                pass.polyline.push_back(Position(pass, r, i));
        } else {
            if (enter)
                AppendRun(pass.runs, PointRun(*enter));
            pass.pieceRuns.clear();
            ColumnRuns(r, piece.begin, piece.end, pass.map, origin, width == 1, pass.pieceRuns);
            for (const ColumnRun& run : pass.pieceRuns)
                AppendRun(pass.runs, run);
        }
        chainEnd = piece.leave ? std::optional(Pixel(pass, *piece.leave)) : std::nullopt;
        if (chainEnd && everySample)
            pass.polyline.push_back(*chainEnd);
        else if (chainEnd)
            AppendRun(pass.runs, PointRun(*chainEnd));
    }
    flush();
    if (whole.rects.empty() && whole.lines.empty())
        return;
    const QBrush keep = pass.p.brush();
    const QPen pen = pass.p.pen();
    pass.p.setPen(Qt::NoPen);
    pass.p.setBrush(color);
    pass.p.drawRects(whole.rects.data(), int(whole.rects.size()));
    pass.p.setBrush(keep);
    pass.p.setPen(pen);
    pass.p.drawLines(whole.lines.data(), int(whole.lines.size()));
}

void DrawPoints(RecordPass& pass, const DataSetRecord& r, int n)
{
    QPainter& p = pass.p;
    const int sx = pass.sx, sy = pass.sy;
    const QColor color = ToQColor(r.pointColor);
    // A sample outside the window has no place on the plot, not even an edge.
    MapSamplesInside(pass, r, n);
    if (r.pointStyle == PointDot) {
        // A pixel of the set's own colour, in black and white too.
        pass.polyline.clear();
        for (const QPoint& c : pass.points)
            if (pass.polyline.empty() || pass.polyline.back() != c)
                pass.polyline.push_back(c);
        p.setPen(Pen(color, 1));
        p.drawPoints(pass.polyline.data(), int(pass.polyline.size()));
        return;
    }
    const int width = std::max(1, pass.dpiX / 300);
    p.setPen(Pen(pass.color ? color : QColor(Qt::black), width));
    // Markers are opaque, so drawing one again where the previous one stands
    // changes nothing.
    QPoint last(INT_MIN, INT_MIN);
    for (const QPoint c : pass.points) {
        if (c == last)
            continue;
        last = c;
        const int x = c.x(), y = c.y();
        switch (r.pointStyle) {
        case PointCircle:
            p.drawEllipse(QRect(x - sx, y - sy, 2 * sx - 1, 2 * sy - 1));
            break;
        case PointSquare:
            p.drawRect(QRect(x - sx, y - sy, 2 * sx - 1, 2 * sy - 1));
            break;
        case PointCross:
            p.drawLine(x - sx, y, x + sx + 1, y);
            p.drawLine(x, y - sy, x, y + sy + 1);
            break;
        case PointX:
            p.drawLine(x - sx, y - sy, x + sx + 1, y + sy + 1);
            p.drawLine(x - sx, y + sy, x + sx + 1, y - sy + 1);
            break;
        case PointDiamond: {
            const QPoint d[] = {{x, y - sy}, {x - sx, y}, {x, y + sy}, {x + sx, y}, {x, y - sy}};
            p.drawPolyline(d, 5);
            break;
        }
        case PointTriangle: {
            const QPoint t[] = {{x, y - sy}, {x - sx, y + sy}, {x + sx, y + sy}, {x, y - sy}};
            p.drawPolyline(t, 4);
            break;
        }
        default:
            return;
        }
    }
}

void DrawPeakMarks(RecordPass& pass, const DataSetRecord& r, int n)
{
    QPainter& p = pass.p;
    const int sx = pass.sx, sy = pass.sy;
    p.setPen(
        Pen(pass.color ? ToQColor(r.pointColor) : QColor(Qt::black), std::max(1, pass.dpiX / 300)));
    const std::uint8_t* marks = r.samples.peakMarks.data();
    for (int i = 0; i < n; ++i) {
        // Marks are rare; step over unmarked samples eight at a time.
        if (i + 8 <= n) {
            std::uint64_t eight;
            std::memcpy(&eight, marks + i, 8);
            if (eight == 0) {
                i += 7;
                continue;
            }
        }
        if (!marks[i] || !Inside(pass, r, i))
            continue;
        const QPoint c = Position(pass, r, i);
        const int x = c.x(), y = c.y();
        const QLine cross[] = {{x - 3 * sx, y, x - sx, y},
                               {x + sx, y, x + 3 * sx, y},
                               {x, y - 3 * sy, x, y - sy},
                               {x, y + sy, x, y + 3 * sy}};
        p.drawLines(cross, 4);
        QString label = QString::asprintf("%.2f", r.samples.altitude[std::size_t(i)]);
        const QPoint at(x - pass.text.Width(label) / 2, y - 3 * sy - pass.text.Height());
        pass.labels.push_back({at, std::move(label)});
    }
}

void DrawClimbMarks(RecordPass& pass, const DataSetRecord& r, int n)
{
    QPainter& p = pass.p;
    const int sy = pass.sy;
    QPen pen = p.pen();
    pen.setColor(pass.color ? ToQColor(pass.plot.InfoColor) : QColor(Qt::black));
    p.setPen(pen);
    const std::vector<double>& time = r.samples.time;
    const std::vector<double>& altitude = r.samples.altitude;
    auto inWindow = [&](int i) {
        const double t = time[std::size_t(i)];
        return t >= pass.plot.view.TimeMin && t <= pass.plot.view.TimeMax;
    };
    for (const ClimbMark& m : r.climbMarks) {
        const int a = m.firstSample, b = m.lastSample;
        if (!m.used || a < 0 || b < 0 || a >= n || b >= n || !inWindow(a) || !inWindow(b))
            continue;
        const QPoint pa = Position(pass, r, a), pb = Position(pass, r, b);
        const QPoint bracket[] = {pa, QPoint(pa.x(), pa.y() - 10 * sy),
                                  QPoint(pb.x(), pb.y() - 10 * sy), QPoint(pb.x(), pb.y() + sy)};
        p.drawPolyline(bracket, 4);

        // Rising data put the label left of the bracket, falling data right.
        const int dx = pb.x() - pa.x(), dy = pa.y() - pb.y();
        const double angle = dx != 0 ? std::atan(double(dy) / dx) * 57.29577950560105
                                     : (dy > 0   ? 90.0
                                        : dy < 0 ? -90.0
                                                 : 0.0);
        const double rate = (altitude[std::size_t(b)] - altitude[std::size_t(a)]) /
                            (time[std::size_t(b)] - time[std::size_t(a)]);
        const QString label = QString::asprintf("%.2f", rate);
        const double middle = (pa.x() + pb.x()) * 0.5;
        const int w = pass.text.Width(label);
        const int x = int(std::trunc(angle <= 0 ? middle + w : middle - 2 * w));
        const int y = int(std::trunc((pa.y() + pb.y()) * 0.5 - 6 * sy - 2 * pass.text.Height()));
        pass.text.Draw(x, y, label);
    }
}

// Each label on a patch of the background, readable over any curve.
void DrawPeakLabels(RecordPass& pass, const QColor& background)
{
    const int h = pass.text.Height();
    for (const RecordPass::Label& label : pass.labels) {
        const int w = pass.text.Width(label.text);
        pass.p.fillRect(QRect(label.at.x() - 1, label.at.y(), w + 2, h), background);
        pass.text.Draw(label.at.x(), label.at.y(), label.text);
    }
}

void DrawRecord(RecordPass& pass, const DataSetRecord& r)
{
    const SampleBlock& s = r.samples;
    const int n = s.Count();
    const bool peaks = s.HasPeakMarks();
    if (r.lineStyle != LineNone)
        DrawLine(pass, r, n);
    if (r.pointStyle != PointNone)
        DrawPoints(pass, r, n);
    if (peaks)
        DrawPeakMarks(pass, r, n);
    if (!r.climbMarks.empty())
        DrawClimbMarks(pass, r, n);
}

} // namespace

PlotRect RenderPlot(QPainter& p, int dpiX, int dpiY, const OutputSettings& out,
                    const PlotRecord& record, const ShowFlags& show, const QImage* background,
                    LineDrawing lines)
{
    const bool color = out.color;
    const QColor black(Qt::black);
    const QColor grid = color ? ToQColor(record.GridColor) : black;
    const DrawingArea area = ComputeDrawingArea(dpiX, dpiY, out);
    const int W = area.W, H = area.H;
    const QPaintDevice* device = p.device();
    TextPen text(p);
    p.setRenderHint(QPainter::Antialiasing, false);

    QFont font = p.font();
    font.setBold(true);
    font.setItalic(false);
    font.setFixedPitch(true);
    SetCellHeight(font, H / 27, device);
    text.SetFont(font);
    text.SetColor(color ? ToQColor(record.ScaleColor) : black);
    p.setBrush(color ? ToQColor(record.BGColor) : QColor(Qt::white));

    p.setPen(Pen(grid, 1));
    p.drawRect(QRect(area.left, area.top, area.right - area.left - 1, area.bottom - area.top - 1));

    if (show.ShowBackground && background && !background->isNull()) {
        const int x1 = TruncPixels(area.L + 1), y1 = TruncPixels(area.T + 1);
        const int x2 = TruncPixels(W + area.L - 1), y2 = TruncPixels(H + area.T - 1);
        p.drawImage(QRect(x1, y1, x2 - x1, y2 - y1), *background);
    }

    const PlotRect r = ComputePlotRect(dpiX, dpiY, out);
    const PlotView& view = record.view;
    const PlotMapping map(view, r);
    const QPen solid = Pen(grid, 1);
    const QPen dotted = Pen(grid, 1, Qt::DotLine);

    const Ticks timeTicks = ChooseTicks(view.TimeMin, view.TimeMax);
    double tick = timeTicks.first;
    for (int k = 0; k < timeTicks.count; ++k, tick += timeTicks.step) {
        const int px = r.plotLeft + map.MapTime(tick);
        p.setPen(solid);
        p.drawLine(px, r.plotBottom, px, r.plotBottom + dpiY / 17);
        p.setPen(dotted);
        p.drawLine(px, r.plotTop, px, r.plotBottom);
        const QString label = QString::asprintf("%.*f", timeTicks.decimals, tick);
        text.Draw(px - text.Width(label) / 2, r.plotBottom + dpiY / 15, label);
    }

    const Ticks altitudeTicks = ChooseTicks(view.AltitudeMin, view.AltitudeMax);
    tick = altitudeTicks.first;
    for (int k = 0; k < altitudeTicks.count; ++k, tick += altitudeTicks.step) {
        const int py = r.plotTop + map.MapAltitude(tick);
        p.setPen(solid);
        p.drawLine(r.plotLeft - 1, py, r.plotLeft - dpiX / 17, py);
        p.setPen(dotted);
        p.drawLine(r.plotLeft, py, r.plotRight, py);
        const QString label = QString::asprintf("%.*f", altitudeTicks.decimals, tick);
        text.Draw(r.plotLeft - text.Width(label) - dpiX / 15, py - text.Height() / 2, label);
    }

    p.setPen(solid);
    const int y0 = r.plotTop + map.MapAltitude(0);
    p.drawLine(r.plotLeft, y0, r.plotRight, y0);

    font.setFixedPitch(false);
    SetCellHeight(font, H / 20, device);
    text.SetFont(font);
    text.SetColor(ToQColor(record.LabelColor));
    text.DrawCentred(r, r.titleTop, record.Title);

    const int Wp = area.right - area.left, Hp = area.bottom - area.top;
    text.SetColor(ToQColor(record.InfoColor));
    if (show.ShowInfo) {
        SetCellHeight(font, H / 50, device);
        text.SetFont(font);
        const int th = text.Height();
        text.DrawCentred(r, r.titleTop + 2 * th, record.Info1);
        const int x = area.left + Wp / 40, bottom = area.bottom - Hp / 40;
        text.Draw(x, bottom - 2 * th, record.Info2);
        text.Draw(x, bottom - th, record.Info3);
    }

    SetCellHeight(font, H / 25, device);
    text.SetFont(font);
    text.SetColor(ToQColor(record.LabelColor));
    text.DrawCentred(r, r.xLabelTop, record.XAxisLabel);

    // Arial or its metric twin, so the texts take the room they were placed for.
    font.setFamilies({ResolveFamily(QStringLiteral("Arial"))});
    font.setStyleHint(QFont::SansSerif);
    SetCellHeight(font, H / 35, device);
    text.SetFont(font);
    text.SetColor(ToQColor(record.ScaleColor));
    const int right = area.right - Wp / 40, bottom = area.bottom - Hp / 40;
    text.Draw(right - text.Width(record.CreditLine), bottom - 2 * text.Height(), record.CreditLine);
    text.Draw(right - text.Width(record.WebLine), bottom - text.Height(), record.WebLine);

    const DataSetStore* store = record.store;
    if (show.ShowAvgROC && store && store->SetCount() > 0) {
        const double climb = AverageClimb(store->Set(0), view.TimeMin, view.TimeMax);
        text.DrawCentred(r, int(std::trunc(r.xLabelTop + 1.5 * text.Height())),
                         QString::asprintf("Avg Climb = %.3g", climb));
    }

    {
        const int x = r.labelLeft;
        const int y =
            r.plotTop + (r.plotBottom - r.plotTop) / 2 + text.Width(record.YAxisLabel) / 2;
        p.save();
        p.translate(x, y);
        p.rotate(-90); // reads upwards; the cell's top edge faces left
        text.Draw(0, 0, record.YAxisLabel);
        p.restore();
    }

    const QRect clip(r.plotLeft, r.plotTop, r.plotRight + 1 - r.plotLeft,
                     r.plotBottom + 1 - r.plotTop);
    p.setClipRect(clip);
    if (store) {
        const int sx = std::max(3, dpiX / 50), sy = std::max(3, dpiY / 50);
        RecordPass pass{p,     text, record, r,  map, color, dpiX, sx, sy,
                        lines, {},   {},     {}, {},  {},    {},   {}, {}};
        for (int i = 0; i < store->RecordCount(); ++i) {
            const DataSetRecord& rec = store->Record(i);
            if (rec.visible)
                DrawRecord(pass, rec);
        }
        DrawPeakLabels(pass, color ? ToQColor(record.BGColor) : QColor(Qt::white));
    }

    QPen framePen = Pen(grid, std::max(1, dpiX / 75));
    framePen.setJoinStyle(Qt::MiterJoin); // square corners on a wide printer frame
    p.setPen(framePen);
    const QPoint frame[] = {{r.plotLeft, r.plotTop},
                            {r.plotLeft, r.plotBottom},
                            {r.plotRight, r.plotBottom},
                            {r.plotRight, r.plotTop},
                            {r.plotLeft, r.plotTop}};
    p.drawPolyline(frame, 5);

    p.setPen(Pen(grid, 1));
    p.setClipping(false);
    return r;
}

} // namespace vexa
