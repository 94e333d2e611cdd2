#pragma once

#include <QIcon>
#include <QRect>
#include <QSize>

class QComboBox;
class QPainter;

namespace vexa {

// Line style items show their pen, point style items their symbol, drawn
// black on white inside the item's rectangle.
void DrawLineStyleItem(QPainter& painter, const QRect& item, int style);
void DrawPointStyleItem(QPainter& painter, const QRect& item, int style);

enum class StyleKind { Line, Point };

// The picture of one style item at the given size.
QIcon StyleIcon(StyleKind kind, int style, const QSize& size);

// Gives every item of a style combo its picture; the texts stay for
// keyboard search and screen readers.
void DecorateStyleCombo(QComboBox& combo, StyleKind kind);

} // namespace vexa
