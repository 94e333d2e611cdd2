#include "StatusPanel.h"

#include <QPainter>
#include <algorithm>

namespace vexa {

QString ProgressText(int progress)
{
    progress = std::clamp(progress, -1, 1000);
    if (progress == 0)
        return {};
    return QString::number(progress / 10) + QLatin1Char('%');
}

void StatusBar1DrawPanel(QPainter& painter, const QRect& rect, int progress,
                         const QColor& buttonFace)
{
    progress = std::clamp(progress, -1, 1000);
    const int left = rect.left();
    const int w = rect.right() - left + 1;
    const int s = left + w * progress / 1000;

    painter.save();
    painter.fillRect(rect, buttonFace);
    if (progress != 0) {
        const QString t = ProgressText(progress);
        const QFontMetrics metrics = painter.fontMetrics();
        const QPoint at(left + w / 2 - metrics.horizontalAdvance(t) / 2,
                        rect.top() + metrics.ascent());

        painter.setClipRect(QRect(QPoint(s, rect.top()), rect.bottomRight()));
        painter.setPen(Qt::black);
        painter.drawText(at, t);

        const QRect bar(rect.topLeft(), QPoint(s - 1, rect.bottom()));
        painter.setClipRect(bar);
        painter.fillRect(bar, QColor(0, 0, 255));
        painter.setPen(Qt::white);
        painter.drawText(at, t);
    }
    painter.restore();
}

void ProgressBarPanel::SetProgress(int progress)
{
    progress_ = progress;
    setAccessibleName(ProgressText(progress));
    update();
}

void ProgressBarPanel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setFont(font());
    StatusBar1DrawPanel(painter, rect(), progress_, palette().color(QPalette::Button));
}

} // namespace vexa
