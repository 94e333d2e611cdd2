#pragma once

#include "PlotRecord.h"

#include <QPoint>
#include <QRect>
#include <QRegion>
#include <optional>

class QPainter;

namespace vexa {

// What the mouse tools draw over the rendered plot: the circle round the
// nearest sample and the bands of the drags under way. It is painted over a
// cached image of the plot, so moving it never draws the data again.
struct PlotOverlay {
    static constexpr int CursorRadius = 5;

    std::optional<QPoint> cursor;  // centre of the circle
    std::optional<QRect> zoomBand; // from the drag's anchor to its corner
    struct ClimbLines {
        int x1 = 0, x2 = 0;      // the anchor's and the corner's x
        int top = 0, bottom = 0; // the data area's edges
        bool operator==(const ClimbLines&) const = default;
    };
    std::optional<ClimbLines> climbLines;
    ColorRef background = Rgb(255, 255, 255);

    bool operator==(const PlotOverlay&) const = default;
};

// The colour a cyan XOR pen leaves on the plot's background: red on white,
// and always apart from the background whatever colour that is.
QColor OverlayColor(ColorRef background);

// Pixels the overlay may touch, for repainting only what changed.
QRegion OverlayRegion(const PlotOverlay& overlay);

void PaintPlotOverlay(QPainter& painter, const PlotOverlay& overlay);

} // namespace vexa
