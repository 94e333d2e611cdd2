#pragma once

#include "ImageWriters.h"
#include "plot/PlotRecord.h"

#include <QImage>
#include <QSize>
#include <QString>

class QPaintDevice;

namespace vexa {

inline constexpr int ExportDpi = 100;
// Beyond this a side is refused: the image or page would be absurd.
inline constexpr double MaxOutputInches = 100.0;

// Empty when width and height in inches can be drawn; otherwise what to tell
// the user. Positions are checked alike but may be zero or negative.
QString CheckOutputSize(double width, double height);
QString CheckOutputPlace(double left, double top);

// trunc(100 x width) by trunc(100 x height) pixels.
QSize ExportImageSize(const OutputSettings& out);

// The plot as the export writes it: out's size at 100 dpi, filling the image
// from its corner (left and top are ignored). Null when out is too small to
// give a pixel.
QImage RenderExportImage(const PlotRecord& plot, const OutputSettings& out, const ShowFlags& show,
                         const QImage* background);

// Renders and saves under path; empty, or why not. An existing file is only
// replaced by a complete one.
QString ExportPlot(const QString& path, ImageType type, const PlotRecord& plot,
                   const OutputSettings& out, const ShowFlags& show, const QImage* background);

// Prints one page on `page` (a printer): the plot at out's size and at left,
// top from the corner of the printable area, at the device's resolution.
// Painting begins and ends the job. Empty, or why it failed.
QString PrintPlot(QPaintDevice& page, const PlotRecord& plot, const OutputSettings& out,
                  const ShowFlags& show, const QImage* background);

} // namespace vexa
