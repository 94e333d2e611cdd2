#pragma once

#include <QFontInfo>
#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QStringList>
#include <vector>

namespace vexa::test {

// Paints nothing; notes each text drawn, the box around its ink and its face,
// so tests can read what a picture says and where.
class TextRecorder final : public QPaintDevice, QPaintEngine {
public:
    struct Text {
        QString text;
        QRectF box;
        QString family;
    };
    TextRecorder(int width, int height, int dpi = 96)
        : QPaintEngine(AllFeatures), size_(width, height), dpi_(dpi)
    {
    }
    QPaintEngine* paintEngine() const override { return const_cast<TextRecorder*>(this); }
    std::vector<Text> texts;

    QStringList strings() const
    {
        QStringList out;
        for (const Text& t : texts)
            out << t.text;
        return out;
    }

private:
    int metric(PaintDeviceMetric m) const override
    {
        switch (m) {
        case PdmWidth:
            return size_.width();
        case PdmHeight:
            return size_.height();
        case PdmDpiX:
        case PdmDpiY:
        case PdmPhysicalDpiX:
        case PdmPhysicalDpiY:
            return dpi_;
        case PdmDepth:
            return 32;
        case PdmDevicePixelRatioScaled:
            return int(devicePixelRatioFScale());
        default:
            return m == PdmWidthMM || m == PdmHeightMM ? 0 : 1;
        }
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
    int dpi_;
};

} // namespace vexa::test
