#pragma once

#include "PlotRecord.h"

#include <QPointF>
#include <optional>
#include <vector>

namespace vexa {

// Whether a drawn time and altitude lie in the window, edges included.
inline bool InWindow(const PlotView& view, double t, double a)
{
    return t >= view.TimeMin && t <= view.TimeMax && a >= view.AltitudeMin && a <= view.AltitudeMax;
}

// Cuts the segment from `from` to `to` (time, altitude) down to the part in
// the window; false when none of it is, or it is not a number. The cut ends
// lie on the window's edges, so they map into the data area.
bool ClipSegment(const PlotView& view, QPointF& from, QPointF& to);

// A record's line, as the parts of it inside the window: the samples
// [begin, end) all lie in it, and the line comes in across an edge at
// `enter` and goes out at `leave` (time, altitude). A piece without samples
// is one segment passing through.
struct LinePiece {
    int begin = 0;
    int end = 0;
    std::optional<QPointF> enter;
    std::optional<QPointF> leave;
};

// The pieces of the line through the first n samples of a record, with its
// time and altitude scale and offset.
void LinePieces(const DataSetRecord& record, int n, const PlotView& view,
                std::vector<LinePiece>& out);

} // namespace vexa
