// The emulator's two readers of outside input: the bytes a program sends
// and the data files it loads.

#include "CommandInterpreter.h"
#include "FlightFile.h"
#include "LineFaults.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace vexa::sim;
    if (size == 0)
        return 0;
    const std::string_view in(reinterpret_cast<const char*>(data) + 1, size - 1);

    if (data[0] & 1) {
        (void)ParseFlightText(in);
        return 0;
    }

    ModuleModel model;
    model.AddSet({100, Feet, true, {1, 2, 3, -4}, {0, 3}});
    model.AddSet({50, Meters, false, {7}, {}});
    ModuleSession session(model, 20);
    FaultOptions faults;
    faults.dropAfter = data[0] >> 4;
    faults.garbageEvery = (data[0] >> 1) & 7;
    FaultInjector injector(faults);
    // Chunks of varying size at rising times, so resets and handovers land
    // mid-chunk and the reboot window opens and closes.
    std::int64_t now = 0;
    for (std::size_t pos = 0; pos < in.size();) {
        const std::size_t n = 1 + static_cast<unsigned char>(in[pos]) % 16;
        const Reply r = session.Feed(in.substr(pos, n), now);
        (void)injector.Render(r.lines);
        (void)injector.FilterInput({}, now, false);
        pos += n;
        now += 7;
    }
    return 0;
}
