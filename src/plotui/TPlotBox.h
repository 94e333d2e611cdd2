#pragma once

#include "plot/MouseTools.h"
#include "plot/PlotRecord.h"

#include <QImage>
#include <QWidget>

class QPainter;
#include <optional>

namespace vexa {

// The plot on screen. The rendered plot is kept as an image and drawn again
// only when told the plot changed (PlotChanged) or the box changed size; a
// mouse move repaints just the overlay over that image.
class TPlotBox : public QWidget {
    Q_OBJECT

public:
    explicit TPlotBox(QWidget* parent = nullptr);

    // What to draw; none of it is owned. background may be null.
    void SetPlot(PlotRecord* plot, const ShowFlags* show, const QImage* background);

    MouseMode Mode() const { return mode_; }
    // Null until SetPlot.
    const MouseTool* Tool() const { return tool_ ? &*tool_ : nullptr; }
    // Draws the plot as the box shows it onto a device of the box's size;
    // returns where the plot area fell.
    PlotRect Draw(QPainter& painter);
    // How often the plot itself has been drawn.
    int RenderCount() const { return renderCount_; }

public slots:
    // The window, the data, the style or the texts changed: draw it again.
    void PlotChanged();
    void SetMouseMode(vexa::MouseMode mode) { mode_ = mode; }

signals:
    void XYTextChanged(const QString& text);
    void ROCTextChanged(const QString& text);
    // A zoom band set the window.
    void WindowChanged();
    // A peak or climb mark of the active set was added or removed.
    void MarksChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void Render();
    void Apply(const MouseOutcome& outcome, const PlotOverlay& before);

    PlotRecord* plot_ = nullptr;
    const ShowFlags* show_ = nullptr;
    const QImage* background_ = nullptr;
    std::optional<MouseTool> tool_;
    MouseMode mode_ = MouseMode::Zoom;
    QImage cache_;
    bool stale_ = true;
    int renderCount_ = 0;
};

} // namespace vexa
