#pragma once

#include "data/DataSetStore.h"
#include "data/PlotView.h"

#include <algorithm>
#include <cmath>
#include <random>

namespace vexa::bench {

// A flight: a hard boost, a coast to the top, a descent under a parachute
// and a long time on the ground, with barometric noise that grows from set
// to set.
inline void FillFlight(DataSetRecord& r, int set, std::mt19937& random)
{
    const double apogee = 1500 + 250 * set;
    const double descent = 9.0 + set;
    std::normal_distribution<double> noise(0.0, 4.0 + 4.0 * set);
    SampleBlock& s = r.samples;
    s.Resize(SampleBlock::Capacity);
    for (int i = 0; i < s.Count(); ++i) {
        const double t = i * 0.01;
        double a;
        if (t < 4)
            a = 0.35 * apogee * (t / 4) * (t / 4);
        else if (t < 18)
            a = apogee - 0.65 * apogee * std::pow((18 - t) / 14, 2);
        else
            a = std::max(0.0, apogee - descent * (t - 18));
        s.time[std::size_t(i)] = t;
        s.altitude[std::size_t(i)] = a + noise(random);
    }
    SampleBlock& trig = r.triggers->samples;
    trig.Resize(3);
    for (int k = 0; k < 3; ++k) {
        const int i = (k + 1) * 600 * (set + 1) % s.Count();
        trig.time[std::size_t(k)] = s.time[std::size_t(i)];
        trig.altitude[std::size_t(k)] = s.altitude[std::size_t(i)];
    }
}

// The benchmarks' store: sets flights, always the same ones; returns the
// window that shows them all.
inline PlotView FillFlights(DataSetStore& store, int sets)
{
    std::mt19937 random(20240611);
    for (int k = 0; k < sets; ++k)
        FillFlight(store.NewDataSet(), k, random);
    Extent time, altitude;
    store.ComputeTimeExtent(time);
    store.ComputeAltitudeExtent(altitude);
    return {time.low, time.high, altitude.low, altitude.high};
}

} // namespace vexa::bench
