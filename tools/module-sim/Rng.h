#pragma once

#include <cmath>
#include <cstdint>

namespace vexa::sim {

// A small generator whose sequence is fixed by its seed on every platform
// and standard library (std::normal_distribution is not).
class Rng {
public:
    explicit Rng(std::uint64_t seed) : state_(seed) {}

    std::uint64_t Next()
    {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // Uniform in [0, 1).
    double Uniform() { return static_cast<double>(Next() >> 11) * 0x1.0p-53; }
    double Between(double lo, double hi) { return lo + (hi - lo) * Uniform(); }
    // Uniform in 0 .. n-1.
    int Below(int n) { return n > 0 ? static_cast<int>(Next() % static_cast<unsigned>(n)) : 0; }
    // Standard normal, Box-Muller.
    double Normal()
    {
        const double u = 1.0 - Uniform(); // (0, 1], keeps log finite
        const double v = Uniform();
        return std::sqrt(-2.0 * std::log(u)) * std::cos(6.283185307179586 * v);
    }

private:
    std::uint64_t state_;
};

// Derives independent streams from one seed.
inline std::uint64_t MixSeed(std::uint64_t seed, std::uint64_t stream)
{
    Rng r(seed ^ (stream * 0xD1B54A32D192ED03ull));
    return r.Next();
}

} // namespace vexa::sim
