// The emulator's two readers of outside input: the bytes a program sends
// and the data files it loads.

#include "BootLoader.h"
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
    // "!" hands the rest to the boot loader, which may start with the line.
    BootLoaderOptions boot;
    boot.silentAfter = data[0] & 0x40 ? 30 : -1;
    boot.resendAt = 2;
    boot.cutAtWrite = data[0] & 0x20 ? 2 : -1;
    session.SetBootLoader(std::make_unique<BootLoader>(boot));
    if (data[0] & 0x80)
        session.PowerUp(0, true);
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
