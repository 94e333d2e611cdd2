#include "FlightGenerator.h"

#include "Rng.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace vexa::sim {

namespace {

constexpr double G = 9.80665;
constexpr double StepS = 0.002; // integration step, well below any sampling interval
constexpr std::array<int, 5> Intervals{50, 100, 200, 250, 500};

enum class Phase { Pad, Boost, Coast, Drogue, Main, Landed };

} // namespace

double MetresTo(int units, double metres)
{
    switch (units) {
    case Yards:
        return metres / 0.9144;
    case Meters:
        return metres;
    default:
        return metres / 0.3048;
    }
}

GeneratedFlight GenerateFlight(std::uint64_t seed, int index)
{
    // Interval and units rotate by flight index from a seed-chosen start, so
    // neighbouring sets never share them.
    Rng pick(MixSeed(seed, 0));
    const int intervalStart = pick.Below(static_cast<int>(Intervals.size()));
    const int unitsStart = pick.Below(3);
    Rng rng(MixSeed(seed, static_cast<std::uint64_t>(index) + 1));

    GeneratedFlight out;
    FlightSet& set = out.set;
    FlightProfile& p = out.profile;
    set.intervalMs = Intervals[static_cast<std::size_t>(index + intervalStart) % Intervals.size()];
    set.units = (index + unitsStart) % 3;
    set.triggerInput = index == 0 || rng.Uniform() < 0.5;

    const double padS = rng.Between(2.0, 5.0);
    const double burnS = rng.Between(0.8, 3.0);
    const double thrustAccel = rng.Between(40.0, 130.0); // above gravity, m/s^2
    const double terminalV = rng.Between(120.0, 260.0);
    const double drag = G / (terminalV * terminalV); // per metre
    const bool dualDeploy = rng.Uniform() < 0.5;
    const double drogueRate = rng.Between(15.0, 25.0);
    const double mainRate = rng.Between(4.5, 8.0);
    const double mainAltitude = rng.Between(120.0, 250.0);
    const double noiseM = rng.Between(0.3, 1.0);
    const double groundS = rng.Between(3.0, 8.0);
    const double chuteTau = 0.8; // seconds for a parachute to reach its steady rate

    const double dtS = set.intervalMs * 0.001;
    Phase phase = Phase::Pad;
    double t = 0, h = 0, v = 0, nextSample = 0, landedAt = -1;
    double targetRate = 0;
    int sample = 0;
    p.mainRateMps = mainRate;

    std::vector<int> triggers;
    double nextPhoto = -1;

    while (sample < MaxRecordLines) {
        // Advance the physics to the next sample time.
        while (t + 1e-9 < nextSample) {
            switch (phase) {
            case Phase::Pad:
                if (t >= padS) {
                    phase = Phase::Boost;
                    p.launchSample = sample;
                }
                break;
            case Phase::Boost:
            case Phase::Coast: {
                const double thrust = phase == Phase::Boost ? thrustAccel + G : 0.0;
                v += (thrust - G - drag * v * std::fabs(v)) * StepS;
                if (phase == Phase::Boost && t >= padS + burnS)
                    phase = Phase::Coast;
                if (phase == Phase::Coast && v <= 0) {
                    // High flights always come down on a drogue first, as they would
                    // drift for miles under the main.
                    const bool drogue = (dualDeploy || h > 800) && h > mainAltitude + 100;
                    phase = drogue ? Phase::Drogue : Phase::Main;
                    targetRate = drogue ? drogueRate : mainRate;
                    p.drogueRateMps = drogue ? drogueRate : 0;
                    p.apogeeM = h;
                    p.apogeeSample = sample;
                }
                break;
            }
            case Phase::Drogue:
                if (h <= mainAltitude) {
                    phase = Phase::Main;
                    targetRate = mainRate;
                    p.mainSample = sample;
                }
                [[fallthrough]];
            case Phase::Main:
                v += (-targetRate - v) / chuteTau * StepS;
                break;
            case Phase::Landed:
                break;
            }
            h += v * StepS;
            if (phase >= Phase::Drogue && phase != Phase::Landed && h <= 0) {
                phase = Phase::Landed;
                h = v = 0;
                landedAt = t;
                p.landingSample = sample;
            }
            t += StepS;
        }

        const double noise = rng.Normal() * noiseM * (phase == Phase::Boost ? 3.0 : 1.0);
        set.altitudes.push_back(static_cast<int>(std::lround(MetresTo(set.units, h + noise))));

        if (set.triggerInput) {
            const bool event = (phase != Phase::Pad && sample == p.launchSample) ||
                               (phase >= Phase::Drogue && sample == p.apogeeSample) ||
                               (p.mainSample >= 0 && sample == p.mainSample);
            if (event)
                triggers.push_back(sample);
            // A camera on the trigger input shoots now and then on the way down.
            if (phase == Phase::Drogue || phase == Phase::Main) {
                if (nextPhoto < 0)
                    nextPhoto = t + rng.Between(4.0, 15.0);
                else if (t >= nextPhoto) {
                    triggers.push_back(sample);
                    nextPhoto = t + rng.Between(4.0, 15.0);
                }
            }
        }

        ++sample;
        nextSample = sample * dtS;
        if (phase == Phase::Landed && t - landedAt >= groundS)
            break;
    }

    set.triggerSamples = std::move(triggers);
    NormaliseSet(set);
    return out;
}

} // namespace vexa::sim
