#pragma once

#include "PlotRecord.h"

class QImage;
class QPainter;

namespace vexa {

// Tick marks of one axis: count values first, first + step, ... up to last.
struct Ticks {
    double step = 0;
    double first = 0;
    double last = 0;
    int decimals = 0; // digits after the point in the labels
    int count = 0;
};
Ticks ChooseTicks(double min, double max);

// Climb rate of a record between its first sample at or after timeMin and its
// last sample at or before timeMax, on the stored values; 0 without two such
// samples at different times.
double AverageClimb(const DataSetRecord& record, double timeMin, double timeMax);

// How data lines are drawn. EverySample is the plain polyline through every
// sample, kept as the reference the per-column drawing is checked against.
enum class LineDrawing { PerColumn, EverySample };

// Draws the whole plot for a device of dpiX x dpiY pixels per inch into the
// area `out` describes and returns where it put the data area and labels.
// The record is only read, so the screen's state survives a print or export.
// background may be null. Leaves the painter with a 1-pixel pen and no clip.
PlotRect RenderPlot(QPainter& painter, int dpiX, int dpiY, const OutputSettings& out,
                    const PlotRecord& record, const ShowFlags& show, const QImage* background,
                    LineDrawing lines = LineDrawing::PerColumn);

} // namespace vexa
