#include "PlotOutput.h"

#include "plot/RenderPlot.h"

#include <QPaintDevice>
#include <QPainter>
#include <cmath>

namespace vexa {

namespace {

bool Finite(double a, double b)
{
    return std::isfinite(a) && std::isfinite(b);
}

} // namespace

QString CheckOutputSize(double width, double height)
{
    if (!Finite(width, height) || !(width > 0) || !(height > 0) || width > MaxOutputInches ||
        height > MaxOutputInches)
        return QStringLiteral("Width and height must be more than 0 and at most %1 inches.")
            .arg(MaxOutputInches);
    return {};
}

QString CheckOutputPlace(double left, double top)
{
    if (!Finite(left, top) || std::abs(left) > MaxOutputInches || std::abs(top) > MaxOutputInches)
        return QStringLiteral("The distances from left and top must be numbers of at most %1 "
                              "inches.")
            .arg(MaxOutputInches);
    return {};
}

QSize ExportImageSize(const OutputSettings& out)
{
    const DrawingArea a = ComputeDrawingArea(ExportDpi, ExportDpi, out);
    return QSize(a.W, a.H);
}

QImage RenderExportImage(const PlotRecord& plot, const OutputSettings& out, const ShowFlags& show,
                         const QImage* background)
{
    if (!CheckOutputSize(out.width, out.height).isEmpty())
        return {};
    OutputSettings atCorner = out;
    atCorner.left = atCorner.top = 0.0;
    const QSize size = ExportImageSize(atCorner);
    if (size.isEmpty())
        return {};
    QImage image(size, QImage::Format_RGB32);
    if (image.isNull())
        return {};
    const int dotsPerMetre = qRound(ExportDpi / 0.0254);
    image.setDotsPerMeterX(dotsPerMetre);
    image.setDotsPerMeterY(dotsPerMetre);
    image.fill(Qt::white);
    QPainter painter(&image);
    RenderPlot(painter, ExportDpi, ExportDpi, atCorner, plot, show, background);
    return image;
}

QString ExportPlot(const QString& path, ImageType type, const PlotRecord& plot,
                   const OutputSettings& out, const ShowFlags& show, const QImage* background)
{
    const QImage image = RenderExportImage(plot, out, show, background);
    if (image.isNull())
        return QStringLiteral("the plot size gives no image");
    return SaveImage(image, type, path);
}

QString PrintPlot(QPaintDevice& page, const PlotRecord& plot, const OutputSettings& out,
                  const ShowFlags& show, const QImage* background)
{
    QPainter painter;
    if (!painter.begin(&page))
        return QStringLiteral("the printer could not be started");
    RenderPlot(painter, page.logicalDpiX(), page.logicalDpiY(), out, plot, show, background);
    if (!painter.end())
        return QStringLiteral("the page could not be finished");
    return {};
}

} // namespace vexa
