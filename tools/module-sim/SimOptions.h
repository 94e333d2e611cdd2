#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vexa::sim {

struct SimOptions {
    int baud = 0; // 0: unpaced
    int flights = 3;
    std::uint64_t seed = 1;
    std::vector<std::string> loadFiles;
    int silentAfter = -1;
    int garbageEvery = 0;
    int dropAfter = -1;
    int replugMs = 2000;
    int resetMs = 1500;
    std::string name;        // empty: vexa-sim-<pid>
    bool bootLoader = false; // start in the boot loader
    std::string flashDump;   // where the flash goes when the emulator ends
    std::uint32_t partId = 0x0444102B;
    int ispSilentAfter = -1;
    int ispResend = -1;
    int ispResendAlways = -1;
    int ispCutBlock = -1;
    int ispStuckByte = -1;
    bool publish = true;
    bool verbose = false;
    bool help = false;
};

// Reads the command line (without the program name). False with a message
// in error on anything it does not understand.
bool ParseOptions(const std::vector<std::string>& args, SimOptions& options, std::string& error);

std::string HelpText();

} // namespace vexa::sim
