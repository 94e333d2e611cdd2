#pragma once

#include "ModuleModel.h"

#include <string>
#include <string_view>
#include <vector>

namespace vexa::sim {

// Data sets from a text file, in one of two forms:
//
// - A plain list: one altitude per line, in feet, sampled every 100 ms.
//   Blank lines are skipped.
// - The program's own data files (a first line starting with "#" or "V"), single-set or plot file:
// every set block
//   becomes one set. The interval is the time of the second sample, the
//   units come from the altitude axis label, and with the block's trigger
//   flag set the third column's marks become triggers.
//
// Altitudes are rounded to whole units. Returns the sets; on failure an
// empty list and a reason in error.
std::vector<FlightSet> LoadFlightFile(const std::string& path, std::string& error);
std::vector<FlightSet> ParseFlightText(std::string_view text);

} // namespace vexa::sim
