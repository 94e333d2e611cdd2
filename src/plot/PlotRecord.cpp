#include "PlotRecord.h"

#include <cmath>

namespace vexa {

// The inches usually come from pixels / dpi, and 29 / 100.0 * 100 is
// 28.999...; the nudge gives the round trip its pixel back.
int TruncPixels(double v)
{
    constexpr double Limit = 1e9;
    v += v >= 0 ? 1e-6 : -1e-6;
    if (!(v > -Limit))
        return -int(Limit);
    if (!(v < Limit))
        return int(Limit);
    return int(v);
}

namespace {

// The window's pixels per data unit; 0 for an empty or inverted window, which
// then maps nothing inside it instead of dividing by zero.
double Scale(int pixels, double min, double max)
{
    const double span = max - min;
    if (!(span > 0))
        return 0.0;
    const double scale = pixels / span;
    return std::isfinite(scale) ? scale : 0.0;
}

} // namespace

void SetPlotText(QString& line, const QString& text)
{
    line = text.left(PlotTextMax);
}

QColor ToQColor(ColorRef c)
{
    return QColor(int(c & 0xff), int(c >> 8 & 0xff), int(c >> 16 & 0xff));
}

DrawingArea ComputeDrawingArea(int dpiX, int dpiY, const OutputSettings& out)
{
    DrawingArea a;
    a.W = TruncPixels(dpiX * out.width);
    a.H = TruncPixels(dpiY * out.height);
    a.L = dpiX * out.left;
    a.T = dpiY * out.top;
    a.left = TruncPixels(a.L);
    a.top = TruncPixels(a.T);
    a.right = TruncPixels(a.W + a.L);
    a.bottom = TruncPixels(a.H + a.T);
    return a;
}

PlotRect ComputePlotRect(int dpiX, int dpiY, const OutputSettings& out)
{
    const DrawingArea a = ComputeDrawingArea(dpiX, dpiY, out);
    PlotRect r;
    r.labelLeft = TruncPixels(a.W / 20 + a.L);
    r.titleTop = TruncPixels(a.H / 30 + a.T);
    r.plotLeft = r.labelLeft + a.W / 10;
    r.plotTop = r.titleTop + a.H / 7;
    r.plotRight = TruncPixels((a.W - a.W / 12) + a.L);
    r.plotBottom = TruncPixels((a.H - (2 * a.H) / 12) + a.T);
    r.xLabelTop = TruncPixels((a.H - a.H / 12) + a.T);
    return r;
}

PlotMapping::PlotMapping(const PlotView& view, const PlotRect& rect)
    : timeMin_(view.TimeMin), timeMax_(view.TimeMax),
      timeScale_(Scale(rect.plotRight - rect.plotLeft, view.TimeMin, view.TimeMax)),
      altitudeMin_(view.AltitudeMin), altitudeMax_(view.AltitudeMax),
      altitudeScale_(Scale(rect.plotBottom - rect.plotTop, view.AltitudeMin, view.AltitudeMax)),
      width_(rect.plotRight - rect.plotLeft), height_(rect.plotBottom - rect.plotTop)
{
}

int MapTime(const PlotView& view, const PlotRect& rect, double t)
{
    return PlotMapping(view, rect).MapTime(t);
}

int MapAltitude(const PlotView& view, const PlotRect& rect, double a)
{
    return PlotMapping(view, rect).MapAltitude(a);
}

double PixelToTime(const PlotView& view, const PlotRect& r, int x)
{
    const int w = r.plotRight - r.plotLeft;
    if (w == 0)
        return view.TimeMin;
    return view.TimeMin + (x - r.plotLeft) * view.TimeSpan() / w;
}

double PixelToAltitude(const PlotView& view, const PlotRect& r, int y)
{
    const int h = r.plotBottom - r.plotTop;
    if (h == 0)
        return view.AltitudeMax;
    return view.AltitudeMax - (y - r.plotTop) * view.AltitudeSpan() / h;
}

} // namespace vexa
