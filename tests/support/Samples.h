#pragma once

#include "data/DataSetStore.h"

#include <functional>
#include <utility>
#include <vector>

namespace vexa::test {

// Puts samples into a block: the given times, or 0, 1, 2, ... when none.
inline void Fill(SampleBlock& s, const std::vector<double>& times,
                 const std::vector<double>& altitudes)
{
    s.Resize(int(altitudes.size()));
    for (std::size_t i = 0; i < altitudes.size(); ++i) {
        s.time[i] = times.empty() ? double(i) : times[i];
        s.altitude[i] = altitudes[i];
    }
}

// n samples, sample i being (time, altitude) = f(i).
inline void FillWith(SampleBlock& s, int n, const std::function<std::pair<double, double>(int)>& f)
{
    s.Resize(n);
    for (int i = 0; i < n; ++i) {
        const auto [t, a] = f(i);
        s.time[std::size_t(i)] = t;
        s.altitude[std::size_t(i)] = a;
    }
}

} // namespace vexa::test
