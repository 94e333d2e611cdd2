#pragma once

#include <QFontInfo>
#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QRectF>
#include <QString>
#include <QTextItem>
#include <vector>

namespace vexa::test {

// A paint device that draws nothing and notes where each text went: the
// box around its ink on the device.
class TextRecorder final : public QPaintDevice {
public:
    struct Text {
        QString text;
        QRectF box;
        QString family; // the face actually used
    };

    TextRecorder(int width, int height, int dpi) : width_(width), height_(height), dpi_(dpi) {}
    QPaintEngine* paintEngine() const override { return &engine_; }
    const std::vector<Text>& Texts() const { return engine_.texts; }

protected:
    int metric(PaintDeviceMetric m) const override
    {
        switch (m) {
        case PdmWidth:
            return width_;
        case PdmHeight:
            return height_;
        case PdmDpiX:
        case PdmDpiY:
        case PdmPhysicalDpiX:
        case PdmPhysicalDpiY:
            return dpi_;
        case PdmDepth:
            return 32;
        case PdmDevicePixelRatio:
            return 1;
        case PdmDevicePixelRatioScaled:
            return int(devicePixelRatioFScale());
        default:
            return QPaintDevice::metric(m);
        }
    }

private:
    class Engine final : public QPaintEngine {
    public:
        Engine() : QPaintEngine(AllFeatures) {}
        bool begin(QPaintDevice*) override { return true; }
        bool end() override { return true; }
        void updateState(const QPaintEngineState&) override {}
        Type type() const override { return User; }
        void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
        void drawImage(const QRectF&, const QImage&, const QRectF&,
                       Qt::ImageConversionFlags) override
        {
        }
        void drawPath(const QPainterPath&) override {}
        void drawLines(const QLineF*, int) override {}
        void drawRects(const QRectF*, int) override {}
        void drawEllipse(const QRectF&) override {}
        void drawPoints(const QPointF*, int) override {}
        void drawPolygon(const QPointF*, int, PolygonDrawMode) override {}
        void drawTextItem(const QPointF& p, const QTextItem& item) override
        {
            const QRectF ink = QFontMetricsF(item.font()).tightBoundingRect(item.text());
            texts.push_back({item.text(), state->transform().mapRect(ink.translated(p)),
                             QFontInfo(item.font()).family()});
        }
        std::vector<Text> texts;
    };
    mutable Engine engine_;
    int width_, height_, dpi_;
};

} // namespace vexa::test
