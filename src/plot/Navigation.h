#pragma once

#include "PlotRecord.h"

#include <QString>
#include <Qt>
#include <optional>

namespace vexa {

inline constexpr double ZoomInFactor = 0.5;
inline constexpr double ZoomOutFactor = 2.0;
inline constexpr double MinZoomSpan = 10.0;
inline constexpr double ButtonPanFraction = 0.2;
inline constexpr double KeyPanFraction = 0.1;

// A window the mapping can use: finite, max above min, and a finite span.
bool IsUsableWindow(const PlotView& window);

// Writes the window when it is usable; false (record unchanged) otherwise.
// Every navigation step goes through here, so a degenerate window never
// reaches the mapping however often a key is pressed.
bool SetWindow(PlotRecord& plot, const PlotView& window);

// Centred zoom on both axes; neither span ends below MinZoomSpan.
bool Zoom(PlotRecord& plot, double factor);
inline bool ZoomIn(PlotRecord& plot)
{
    return Zoom(plot, ZoomInFactor);
}
inline bool ZoomOut(PlotRecord& plot)
{
    return Zoom(plot, ZoomOutFactor);
}

enum class PanDirection { Left, Right, Up, Down };
// Moves the window by `fraction` of its span; Up shows higher altitudes.
bool Pan(PlotRecord& plot, PanDirection direction, double fraction = ButtonPanFraction);

// The 0 ... 20 window on both axes, whatever the data.
bool GoHome(PlotRecord& plot);
// Back to the window the extents or the scale dialog last set.
bool ResetToFull(PlotRecord& plot, const FullExtent& full);

// The rounded extents of every set's samples become the window and the full
// extent; an axis without samples keeps its values.
void FitWindowToData(const DataSetStore& store, PlotRecord& plot, FullExtent& full);

// What a key does to the plot. The main window sees keys first; a key is
// consumed exactly when this is not None.
enum class PlotKey {
    None,
    StretchTime,     // Ctrl+Left: twice the time span from TimeMin
    ShrinkTime,      // Ctrl+Right: half the time span
    ShrinkAltitude,  // Ctrl+Up: half the altitude span from AltitudeMin
    StretchAltitude, // Ctrl+Down: twice the altitude span
    PanLeft,         // Shift+arrows: a tenth of the span
    PanRight,
    PanUp,
    PanDown,
    Home, // with any modifier
};
PlotKey PlotKeyAction(int key, Qt::KeyboardModifiers modifiers, bool plotPageCurrent);
// True when the window changed.
bool ApplyPlotKey(PlotRecord& plot, PlotKey action);

// Crop of one set's samples: the kept index range.
struct CropRange {
    int first = 0;
    int last = 0;
};
// first is the first sample at or after timeMin, last the last one from there
// on at or before timeMax; nothing when either is missing.
std::optional<CropRange> FindCropRange(const SampleBlock& samples, double timeMin, double timeMax);

// Cuts a set (its altitude record, with its triggers and climb marks) down to
// the samples from timeMin to timeMax. The kept samples and triggers keep
// their own times less the first kept sample's time, so they stay in step
// whatever the spacing. False when the window holds none of its samples.
bool CropDataSet(DataSetRecord& altitudeRecord, double timeMin, double timeMax);

// Crops every set to the plot's window, then fits the window to what is left.
// Returns the number of sets cut.
int CropToWindow(DataSetStore& store, PlotRecord& plot, FullExtent& full);

// The four texts of the scale dialog.
struct WindowTexts {
    QString timeMin, timeMax, altitudeMin, altitudeMax;
};
// Shortest general form with up to 15 significant digits: 20 -> "20".
QString WindowNumberText(double v);
WindowTexts WindowToTexts(const PlotRecord& plot);

// The number a text begins with, as a "%lf" scan reads it (leading blanks,
// a sign, digits, a point, an exponent); nothing when it begins otherwise.
std::optional<double> LeadingNumber(const QString& text);

// Applies typed texts: a text that does not begin with a number keeps its
// value. A usable result becomes the window and the full extent and the
// result is empty; otherwise nothing changes and the result says why.
QString ApplyWindowTexts(const WindowTexts& texts, PlotRecord& plot, FullExtent& full);

} // namespace vexa
