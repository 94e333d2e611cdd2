#include "StyleGlyphs.h"

#include "data/DataSetStore.h"

#include <QComboBox>
#include <QPainter>
#include <QPixmap>

namespace vexa {

namespace {

// Wide enough for a dash-dot-dot pattern to show, tall enough for the symbols.
constexpr QSize IconSize(48, 20);

void Begin(QPainter& painter, const QRect& item, Qt::PenStyle pen)
{
    painter.fillRect(item, Qt::white);
    painter.setPen(QPen(Qt::black, 0, pen));
    painter.setBrush(Qt::NoBrush);
}

} // namespace

// Qt draws a line's last pixel where the classic canvas stops one short, so
// every end point here is one pixel nearer its start.
void DrawLineStyleItem(QPainter& painter, const QRect& item, int style)
{
    painter.save();
    Begin(painter, item, LinePenStyle(style));
    if (LinePenStyle(style) != Qt::NoPen) {
        const int y = item.top() + item.height() / 2;
        painter.drawLine(item.left() + 4, y, item.left() + item.width() - 5, y);
    }
    painter.restore();
}

void DrawPointStyleItem(QPainter& painter, const QRect& item, int style)
{
    painter.save();
    Begin(painter, item, Qt::SolidLine);
    const int h = item.height();
    const int cx = item.left() + item.width() / 2;
    const int cy = item.top() + h / 2;
    const int d = h / 4;
    const int e = h / 5;
    switch (style) {
    case PointDot:
        painter.drawPoint(cx, cy);
        break;
    case PointCircle:
        painter.drawEllipse(QRect(QPoint(cx - d, cy - d), QPoint(cx + d, cy + d)));
        break;
    case PointSquare:
        painter.drawRect(QRect(QPoint(cx - e, cy - e), QPoint(cx + e, cy + e)));
        break;
    case PointCross:
        painter.drawLine(cx - e, cy, cx + e, cy);
        painter.drawLine(cx, cy - e, cx, cy + e);
        break;
    case PointX:
        painter.drawLine(cx - e, cy - e, cx + e, cy + e);
        painter.drawLine(cx - e, cy + e, cx + e, cy - e);
        break;
    case PointDiamond: {
        const QPoint path[] = {{cx, cy - d}, {cx - d, cy}, {cx, cy + d}, {cx + d, cy}};
        painter.drawPolygon(path, 4);
        break;
    }
    case PointTriangle: {
        const QPoint path[] = {{cx, cy - d}, {cx - e, cy + h / 6}, {cx + e, cy + h / 6}};
        painter.drawPolygon(path, 3);
        break;
    }
    default:
        break;
    }
    painter.restore();
}

QIcon StyleIcon(StyleKind kind, int style, const QSize& size)
{
    QPixmap pixmap(size);
    QPainter painter(&pixmap);
    const QRect item(QPoint(0, 0), size);
    if (kind == StyleKind::Line)
        DrawLineStyleItem(painter, item, style);
    else
        DrawPointStyleItem(painter, item, style);
    painter.end();
    return QIcon(pixmap);
}

void DecorateStyleCombo(QComboBox& combo, StyleKind kind)
{
    combo.setIconSize(IconSize);
    for (int i = 0; i < combo.count(); ++i)
        combo.setItemIcon(i, StyleIcon(kind, i, IconSize));
}

} // namespace vexa
