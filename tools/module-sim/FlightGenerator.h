#pragma once

#include "ModuleModel.h"

#include <cstdint>

namespace vexa::sim {

// What the generator flew, in metres and seconds, before units and noise.
struct FlightProfile {
    double apogeeM = 0;
    int launchSample = 0;     // first sample under thrust
    int apogeeSample = 0;     // highest true altitude
    int mainSample = -1;      // main parachute opens (dual deployment only)
    int landingSample = 0;    // first sample on the ground again
    double drogueRateMps = 0; // 0 without a drogue
    double mainRateMps = 0;   // steady descent under the last parachute
};

struct GeneratedFlight {
    FlightSet set;
    FlightProfile profile;
};

// A rocket flight as the module records it: waiting on the pad, boost,
// coast to apogee, descent under a parachute (sometimes a drogue first and
// the main lower down), landing and a few seconds on the ground. Barometric
// noise rides on every sample; with the trigger input on, triggers fire at
// launch, at deployment and now and then during descent. Flight index picks
// the sampling interval and units, so a module's sets differ. The same seed
// and index always give the same flight.
GeneratedFlight GenerateFlight(std::uint64_t seed, int index);

// Metres to the module's units.
double MetresTo(int units, double metres);

} // namespace vexa::sim
