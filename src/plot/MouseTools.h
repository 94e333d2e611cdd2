#pragma once

#include "PlotOverlay.h"
#include "PlotRecord.h"

#include <QPoint>
#include <QString>
#include <Qt>
#include <optional>

namespace vexa {

// The items of the "Mouse" group, in their order there.
enum class MouseMode { Zoom = 0, Climb = 1, Peak = 2 };

// True when the valid times never decrease, so they can be searched by halves.
bool TimesAscending(const SampleBlock& samples);

// The sample nearest in time to t, on the stored times: -1 with fewer than
// two samples; 0 when the first two share a time (no spacing to go by).
// A binary search when `ascending`, else a scan.
int NearestSample(const SampleBlock& samples, double t, bool ascending);
int NearestSample(const SampleBlock& samples, double t);

// The two status line read-outs for sample i.
QString XYText(const SampleBlock& samples, int i);
// Climb from sample i - 1 to i; nothing for sample 0 or two samples at one
// time, and the panel keeps its text.
std::optional<QString> ROCText(const SampleBlock& samples, int i);

// What a mouse event asks of the plot box.
struct MouseOutcome {
    bool render = false;        // draw the plot again (window or marks changed, drag ended)
    bool overlay = false;       // only the overlay moved
    bool windowChanged = false; // a zoom band set the window
    bool marksChanged = false;  // a peak or climb mark was added or removed
    std::optional<QString> xyText;
    std::optional<QString> rocText;
};

// The zoom, climb and peak tools over the plot: mouse events in device
// pixels in, what to do out. It reads the window and the active set through
// the record, and the data area from the last screen drawing (SetRect), not
// from the record, which a print or an export may have moved elsewhere.
//
// As the tools always have: the drag flags stay on until a left release in
// their own mode, whatever the mode in between, and the drags share one
// anchor and corner, which follow the cursor while no drag of the current
// mode is on.
class MouseTool {
public:
    explicit MouseTool(PlotRecord& plot);

    // The data area of the drawing on screen.
    void SetRect(const PlotRect& rect) { rect_ = rect; }
    const PlotRect& Rect() const { return rect_; }

    MouseOutcome Move(QPoint p, MouseMode mode);
    MouseOutcome Press(Qt::MouseButton button, QPoint p, MouseMode mode);
    MouseOutcome Release(Qt::MouseButton button, QPoint p, MouseMode mode);

    // The plot was drawn again: the cursor circle is gone until the next move.
    void Rendered() { cursorMark_.reset(); }
    // Samples may have changed under the tools.
    void DataChanged() { ascendingKnown_ = false; }

    PlotOverlay Overlay() const;

    bool ZoomDrag() const { return zoomDrag_; }
    bool ClimbDrag() const { return climbDrag_; }
    int Nearest() const { return nearest_; }
    int ClimbStart() const { return climbStart_; }

private:
    struct DragPoint {
        int x = 0, y = 0;
        double t = 0, a = 0;
    };

    DataSetRecord* ActiveSet() const;
    bool InDataArea(QPoint p) const;
    QPoint ClampToDataArea(QPoint p) const;
    bool Dragging(MouseMode mode) const;
    int Nearest(const SampleBlock& s, double t);

    PlotRecord& plot_;
    PlotRect rect_;
    bool zoomDrag_ = false;
    bool climbDrag_ = false;
    DragPoint anchor_, corner_;
    int nearest_ = -1;
    int climbStart_ = -1;
    std::optional<QPoint> cursorMark_;

    // Whether the active set's times ascend, kept while the set looks the same.
    bool ascendingKnown_ = false;
    bool ascending_ = false;
    const SampleBlock* ascendingOf_ = nullptr;
    int ascendingCount_ = 0;
    double ascendingFirst_ = 0, ascendingLast_ = 0;
};

} // namespace vexa
