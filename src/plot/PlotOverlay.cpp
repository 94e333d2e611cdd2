#include "PlotOverlay.h"

#include <QPainter>

namespace vexa {

namespace {

constexpr int CursorPen = 2;
constexpr int Slack = 2; // antialiasing is off, but pens straddle their line

QRect CursorBox(QPoint c)
{
    const int r = PlotOverlay::CursorRadius;
    return QRect(c.x() - r, c.y() - r, 2 * r, 2 * r);
}

} // namespace

QColor OverlayColor(ColorRef background)
{
    const QColor bg = ToQColor(background);
    return QColor(bg.red(), 255 - bg.green(), 255 - bg.blue());
}

QRegion OverlayRegion(const PlotOverlay& o)
{
    QRegion region;
    if (o.cursor)
        region += CursorBox(*o.cursor).adjusted(-CursorPen - Slack, -CursorPen - Slack,
                                                CursorPen + Slack, CursorPen + Slack);
    if (o.zoomBand) {
        const QRect band = o.zoomBand->normalized();
        const QRect outer = band.adjusted(-Slack, -Slack, Slack, Slack);
        const QRect inner = band.adjusted(Slack, Slack, -Slack, -Slack);
        region += inner.isValid() ? QRegion(outer).subtracted(inner) : QRegion(outer);
    }
    if (o.climbLines) {
        const PlotOverlay::ClimbLines& l = *o.climbLines;
        const int h = l.bottom - l.top + 1 + 2 * Slack;
        region += QRect(l.x1 - Slack, l.top - Slack, 2 * Slack + 1, h);
        region += QRect(l.x2 - Slack, l.top - Slack, 2 * Slack + 1, h);
    }
    return region;
}

void PaintPlotOverlay(QPainter& p, const PlotOverlay& o)
{
    const QColor color = OverlayColor(o.background);
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setBrush(Qt::NoBrush);
    if (o.cursor) {
        p.setPen(QPen(color, CursorPen));
        p.drawEllipse(CursorBox(*o.cursor));
    }
    p.setPen(QPen(color, 1, Qt::DashLine));
    if (o.zoomBand)
        p.drawRect(o.zoomBand->normalized());
    if (o.climbLines) {
        const PlotOverlay::ClimbLines& l = *o.climbLines;
        p.drawLine(l.x1, l.top, l.x1, l.bottom);
        p.drawLine(l.x2, l.top, l.x2, l.bottom);
    }
    p.restore();
}

} // namespace vexa
