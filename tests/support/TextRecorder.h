#pragma once

#include <QFontInfo>
#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPaintEngine>
#include <vector>

namespace vexa::test {

// Paints nothing; notes each text drawn, the box around its ink and its face.
class TextRecorder final : public QPaintDevice, QPaintEngine {
public:
    struct Text {
        QString text;
        QRectF box;
        QString family;
    };
    TextRecorder(int width, int height) : QPaintEngine(AllFeatures), size_(width, height) {}
    QPaintEngine* paintEngine() const override { return const_cast<TextRecorder*>(this); }
    std::vector<Text> texts;

private:
    int metric(PaintDeviceMetric m) const override
    {
        const int values[] = {0, size_.width(), size_.height(), 0, 0, 0, 32, 96, 96, 96, 96, 1, 1};
        return m == PdmDevicePixelRatioScaled ? int(devicePixelRatioFScale()) : values[m];
    }
    bool begin(QPaintDevice*) override { return true; }
    bool end() override { return true; }
    void updateState(const QPaintEngineState&) override {}
    Type type() const override { return User; }
    void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
    void drawPath(const QPainterPath&) override {}
    void drawPolygon(const QPointF*, int, PolygonDrawMode) override {}
    void drawTextItem(const QPointF& p, const QTextItem& item) override
    {
        const QRectF ink = QFontMetricsF(item.font()).tightBoundingRect(item.text()).translated(p);
        texts.push_back(
            {item.text(), state->transform().mapRect(ink), QFontInfo(item.font()).family()});
    }
    QSize size_;
};

} // namespace vexa::test
