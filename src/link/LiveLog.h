#pragma once

#include <vector>

class QPainter;

namespace vexa {

// Recent altitudes for the live chart: one slot per pixel column.
struct LiveRing {
    std::vector<double> samples;
    int head = 0; // oldest sample
    int tail = 0; // one past the newest
    int count = 0;

    explicit LiveRing(int columns = 0) : samples(columns > 0 ? std::size_t(columns) : 0u) {}
    int Slots() const { return static_cast<int>(samples.size()); }
    // Appends at tail; a full ring drops its oldest sample.
    void Append(double altitude);
};

inline constexpr double LiveChartTop = 10000.0;

// The strip chart: black field, grey grid, the samples in red, newest at
// the right edge, two pixels per sample.
void DrawLiveChart(QPainter& painter, int width, int height, const LiveRing& ring);

} // namespace vexa
