#pragma once

namespace vexa {

// A window onto the data: the plot's view, the full extent Reset returns to
// and the window a plot file carries.
struct PlotView {
    double TimeMin = 0.0;
    double TimeMax = 20.0;
    double AltitudeMin = 0.0;
    double AltitudeMax = 20.0;

    double TimeSpan() const { return TimeMax - TimeMin; }
    double AltitudeSpan() const { return AltitudeMax - AltitudeMin; }

    bool operator==(const PlotView&) const = default;
};

} // namespace vexa
