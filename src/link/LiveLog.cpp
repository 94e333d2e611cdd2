#include "LiveLog.h"

#include <QPainter>

namespace vexa {

void LiveRing::Append(double altitude)
{
    if (samples.empty())
        return;
    samples[std::size_t(tail)] = altitude;
    tail = (tail + 1) % Slots();
    if (count == Slots())
        head = (head + 1) % Slots();
    else
        ++count;
}

void DrawLiveChart(QPainter& painter, int width, int height, const LiveRing& ring)
{
    painter.save();
    painter.setPen(Qt::black);
    painter.setBrush(Qt::black);
    painter.drawRect(0, 0, width, height);

    painter.setPen(QColor(128, 128, 128));
    for (int i = 0; i <= 10; ++i) {
        const int y = height * i / 10;
        painter.drawLine(0, y, width, y);
    }

    painter.setPen(QPen(QColor(255, 0, 0), 2));
    painter.setBrush(QColor(255, 0, 0));
    const double scale = height / LiveChartTop;
    if (ring.count > 1 && ring.Slots() > 0) {
        QPolygon line;
        int x = width - 2 * ring.count;
        int index = ring.head;
        // A full ring has head == tail: walk count samples, not until tail.
        for (int n = 0; n < ring.count && x < width; ++n) {
            const int y = static_cast<int>(height - ring.samples[std::size_t(index)] * scale);
            line << QPoint(x, y);
            index = (index + 1) % ring.Slots();
            x += 2;
        }
        painter.drawPolyline(line);
    }
    painter.restore();
}

} // namespace vexa
