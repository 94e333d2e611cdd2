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
    std::string name; // empty: vexa-sim-<pid>
    bool publish = true;
    bool verbose = false;
    bool help = false;
};

// Reads the command line (without the program name). False with a message
// in error on anything it does not understand.
bool ParseOptions(const std::vector<std::string>& args, SimOptions& options, std::string& error);

std::string HelpText();

} // namespace vexa::sim
