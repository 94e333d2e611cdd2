#pragma once

#include "PlotRecord.h"

#include <QLine>
#include <QPoint>
#include <QRect>
#include <vector>

namespace vexa {

// A record can hold 65,536 samples, which land on a few hundred pixel
// columns. Inside one column a line through consecutive samples only moves
// up and down, so it covers the column from the run's highest to its lowest
// pixel whatever the order: the run's first, highest, lowest and last point
// (in their original order) draw the same pixels as all of them. Runs end
// where the column changes, so samples whose time goes backwards stay exact.

// One run of consecutive samples in the same pixel column, in device pixels.
struct ColumnRun {
    int x = 0;
    int firstY = 0;
    int lastY = 0;
    int topY = 0;          // smallest y: the run's highest altitude
    int bottomY = 0;       // largest y
    bool topFirst = false; // the highest point comes before the lowest
};

// Groups samples [begin, end) of a record (with its time and altitude scale
// and offset) into column runs, added to `out`. Only each run's four
// altitudes are mapped to pixels: the mapping never reverses their order.
// topFirst is only worked out with keepOrder; a line of separate pieces has
// no use for it.
void ColumnRuns(const DataSetRecord& record, int begin, int end, const PlotMapping& map,
                QPoint origin, bool keepOrder, std::vector<ColumnRun>& out);

// Adds a run to a line's runs, merged into the last one when both lie in one
// column and the line runs on from the one to the other.
void AppendRun(std::vector<ColumnRun>& runs, const ColumnRun& run);

// The polyline through the runs: first, highest and lowest in their order, last.
void RunsToPolyline(const std::vector<ColumnRun>& runs, std::vector<QPoint>& out);

// A wide solid line through the runs as separate pieces, which draw far
// faster than one long polyline whose stroke outline crosses itself at every
// sample: every vertical stretch and level join is a filled rectangle, the
// pixels a flat-capped stroke of that width covers, and slanted joins are
// lines. A join is left out where the columns' stretches already cover it.
struct WideLine {
    std::vector<QRect> rects;
    std::vector<QLine> lines;
};
void RunsToWideLine(const std::vector<ColumnRun>& runs, int penWidth, WideLine& out);

} // namespace vexa
