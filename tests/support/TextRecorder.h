#pragma once

#include <QPaintDevice>
#include <QPaintEngine>
#include <QStringList>

namespace vexa::test {

// A paint device that draws nothing and keeps every text drawn on it with
// the point it was drawn at, so tests can read what a picture says.
class TextRecorder final : public QPaintDevice {
public:
    TextRecorder(int width, int height, int dpi) : w_(width), h_(height), dpi_(dpi) {}
    QPaintEngine* paintEngine() const override { return &engine_; }
    QStringList texts;
    QList<QPointF> at;

protected:
    int metric(PaintDeviceMetric m) const override
    {
        switch (m) {
        case PdmWidth:
            return w_;
        case PdmHeight:
            return h_;
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
            return 1;
        }
    }

private:
    class Engine final : public QPaintEngine {
    public:
        explicit Engine(TextRecorder& r) : QPaintEngine(AllFeatures), r_(r) {}
        bool begin(QPaintDevice*) override { return true; }
        bool end() override { return true; }
        void updateState(const QPaintEngineState&) override {}
        void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
        void drawPath(const QPainterPath&) override {}
        void drawPolygon(const QPointF*, int, PolygonDrawMode) override {}
        void drawPolygon(const QPoint*, int, PolygonDrawMode) override {}
        void drawTextItem(const QPointF& p, const QTextItem& item) override
        {
            r_.texts << item.text();
            r_.at << p;
        }
        Type type() const override { return User; }

    private:
        TextRecorder& r_;
    };

    int w_, h_, dpi_;
    mutable Engine engine_{*this};
};

} // namespace vexa::test
