#pragma once

#include "data/DataSetStore.h"
#include "data/PlotView.h"

#include <QColor>
#include <QString>

namespace vexa {

inline constexpr int PlotTextMax = 255;

// Pixel geometry of the most recent drawing (screen, printer page or bitmap).
struct PlotRect {
    int labelLeft = 0; // x of the Y-axis label
    int titleTop = 0;  // y of the title
    int plotLeft = 0;  // the data area
    int plotTop = 0;
    int plotRight = 0;
    int plotBottom = 0;
    int xLabelTop = 0; // y of the X-axis label

    bool operator==(const PlotRect&) const = default;
};

// Everything the plot needs to draw itself.
struct PlotRecord {
    // Style colours, red in the lowest byte.
    ColorRef BGColor = Rgb(255, 255, 255);
    ColorRef GridColor = Rgb(128, 128, 128);
    ColorRef ScaleColor = Rgb(0, 0, 0);
    ColorRef LabelColor = Rgb(0, 0, 0);
    ColorRef InfoColor = Rgb(255, 0, 0);

    // The data sets drawn, in list order; not owned. Null draws no data.
    DataSetStore* store = nullptr;

    // The view window in data units.
    PlotView view;

    // Text lines; store them through SetPlotText so they stay within PlotTextMax.
    QString Title = QStringLiteral("Altitude versus Time");
    QString XAxisLabel = QStringLiteral("Time (sec)");
    QString YAxisLabel = QStringLiteral("Altitude (Feet)");
    QString Info1;
    QString Info2;
    QString Info3;
    QString CreditLine = QStringLiteral("Created by Vexa - Get an Altitude!");
    QString WebLine = QStringLiteral("www.vexa-instruments.example");
};

// Stores text in one of the record's text lines, cut to PlotTextMax characters.
void SetPlotText(QString& line, const QString& text);

// The window that Reset returns to.
using FullExtent = PlotView;

// Size and place of a drawing in inches; the screen uses its own size and 0, 0.
struct OutputSettings {
    double width = 7.0;
    double height = 3.5;
    double left = 0.0;
    double top = 0.0;
    bool color = true;
    // Kept between runs: the "Print with color" box as last left (color
    // follows it only when the output dialog is confirmed) and the export
    // dialog's filter index (1 bitmap, 2 JPEG, 3 GIF).
    bool colorBox = false;
    int exportType = 1;
};

struct ShowFlags {
    bool ShowInfo = true;
    bool ShowBackground = false;
    bool ShowAvgROC = false;
    bool ShowPoints = false; // kept for the settings; drawing ignores it
};

QColor ToQColor(ColorRef c);

// Truncation toward zero of a pixel position computed from inches.
int TruncPixels(double v);

// The drawing area in device pixels: W x H at (L, T), and its edges.
struct DrawingArea {
    int W = 0;
    int H = 0;
    double L = 0;
    double T = 0;
    int left = 0; // trunc(L)
    int top = 0;
    int right = 0; // trunc(W + L), exclusive
    int bottom = 0;
};
DrawingArea ComputeDrawingArea(int dpiX, int dpiY, const OutputSettings& out);
PlotRect ComputePlotRect(int dpiX, int dpiY, const OutputSettings& out);

// Data value to pixel offset from plotLeft / plotTop, with the window and data
// area taken once so the per-sample work is a compare and a multiply.
class PlotMapping {
public:
    PlotMapping(const PlotView& view, const PlotRect& rect);

    // -1 left of the window, 9999 right of it, else 0 ... width.
    int MapTime(double t) const
    {
        if (!(t >= timeMin_)) // NaN counts as left of the window
            return -1;
        if (t > timeMax_)
            return 9999;
        const double x = (t - timeMin_) * timeScale_;
        return x < width_ ? int(x) : width_;
    }

    // height below the window, 0 above it, else height - 1 ... 0.
    int MapAltitude(double a) const
    {
        if (!(a >= altitudeMin_))
            return height_;
        if (a > altitudeMax_)
            return 0;
        const double v = (a - altitudeMin_) * altitudeScale_;
        const int y = height_ - (v < height_ ? int(v) : height_) - 1;
        return y < 0 ? 0 : y;
    }

    double TimeMin() const { return timeMin_; }
    double TimeMax() const { return timeMax_; }
    int Width() const { return width_; }
    int Height() const { return height_; }

private:
    double timeMin_, timeMax_, timeScale_;
    double altitudeMin_, altitudeMax_, altitudeScale_;
    int width_, height_;
};

// One-off mapping; the caller adds plotLeft / plotTop.
int MapTime(const PlotView& view, const PlotRect& rect, double t);
int MapAltitude(const PlotView& view, const PlotRect& rect, double a);

// Pixel (device coordinates inside the data area) back to data units.
double PixelToTime(const PlotView& view, const PlotRect& rect, int x);
double PixelToAltitude(const PlotView& view, const PlotRect& rect, int y);

} // namespace vexa
