#include "TPlotBox.h"

#include "plot/RenderPlot.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <cmath>

namespace vexa {

TPlotBox::TPlotBox(QWidget* parent) : QWidget(parent)
{
    setMouseTracking(true);
    // The cached image covers every pixel; nothing needs clearing first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAccessibleName(QStringLiteral("Plot"));
}

void TPlotBox::SetPlot(PlotRecord* plot, const ShowFlags* show, const QImage* background)
{
    plot_ = plot;
    show_ = show;
    background_ = background;
    tool_.reset();
    if (plot)
        tool_.emplace(*plot);
    PlotChanged();
}

void TPlotBox::PlotChanged()
{
    stale_ = true;
    if (tool_)
        tool_->DataChanged();
    update();
}

void TPlotBox::Render()
{
    const qreal dpr = devicePixelRatioF();
    const QSize pixels(int(std::ceil(width() * dpr)), int(std::ceil(height() * dpr)));
    if (cache_.size() != pixels)
        cache_ = QImage(pixels, QImage::Format_RGB32);
    cache_.setDevicePixelRatio(dpr);
    const int dpiX = logicalDpiX(), dpiY = logicalDpiY();
    cache_.setDotsPerMeterX(qRound(dpiX / 0.0254));
    cache_.setDotsPerMeterY(qRound(dpiY / 0.0254));
    cache_.fill(Qt::white);
    if (plot_ && width() > 0 && height() > 0) {
        QPainter painter(&cache_);
        tool_->SetRect(Draw(painter));
        tool_->Rendered();
    }
    stale_ = false;
    ++renderCount_;
}

PlotRect TPlotBox::Draw(QPainter& painter)
{
    if (!plot_)
        return {};
    const int dpiX = logicalDpiX(), dpiY = logicalDpiY();
    painter.setFont(font());
    // The drawing area is the box itself; the stored print size stays.
    OutputSettings screen;
    screen.width = double(width()) / dpiX;
    screen.height = double(height()) / dpiY;
    screen.left = screen.top = 0;
    screen.color = true;
    return RenderPlot(painter, dpiX, dpiY, screen, *plot_, show_ ? *show_ : ShowFlags{},
                      background_);
}

void TPlotBox::paintEvent(QPaintEvent* event)
{
    const qreal dpr = devicePixelRatioF();
    if (stale_ || cache_.isNull() || cache_.devicePixelRatio() != dpr ||
        cache_.deviceIndependentSize() != QSizeF(size()))
        Render();
    QPainter p(this);
    for (const QRect& r : event->region())
        p.drawImage(QRectF(r), cache_,
                    QRectF(r.x() * dpr, r.y() * dpr, r.width() * dpr, r.height() * dpr));
    if (tool_)
        PaintPlotOverlay(p, tool_->Overlay());
}

void TPlotBox::resizeEvent(QResizeEvent* event)
{
    stale_ = true;
    QWidget::resizeEvent(event);
}

void TPlotBox::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::FontChange)
        PlotChanged();
    QWidget::changeEvent(event);
}

void TPlotBox::Apply(const MouseOutcome& outcome, const PlotOverlay& before)
{
    if (outcome.xyText)
        emit XYTextChanged(*outcome.xyText);
    if (outcome.rocText)
        emit ROCTextChanged(*outcome.rocText);
    if (outcome.render) {
        PlotChanged();
    } else if (outcome.overlay) {
        const PlotOverlay after = tool_->Overlay();
        if (!(after == before))
            update(OverlayRegion(before) + OverlayRegion(after));
    }
    if (outcome.windowChanged)
        emit WindowChanged();
    if (outcome.marksChanged)
        emit MarksChanged();
}

void TPlotBox::mouseMoveEvent(QMouseEvent* event)
{
    if (!tool_)
        return;
    const PlotOverlay before = tool_->Overlay();
    Apply(tool_->Move(event->position().toPoint(), mode_), before);
}

void TPlotBox::mousePressEvent(QMouseEvent* event)
{
    if (!tool_)
        return;
    const PlotOverlay before = tool_->Overlay();
    Apply(tool_->Press(event->button(), event->position().toPoint(), mode_), before);
}

void TPlotBox::mouseReleaseEvent(QMouseEvent* event)
{
    if (!tool_)
        return;
    const PlotOverlay before = tool_->Overlay();
    Apply(tool_->Release(event->button(), event->position().toPoint(), mode_), before);
}

} // namespace vexa
