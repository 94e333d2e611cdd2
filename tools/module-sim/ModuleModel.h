#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vexa::sim {

// The twelve configuration registers in the order the program reads them.
enum class Reg { SR, SI, SA, PA, ST, PT, UA, AS, AP, AZ, RT, RV };
inline constexpr int RegCount = 12;

struct RegInfo {
    const char* name;
    int bits; // the register keeps only this many low bits of a written value
    std::uint16_t defaultValue;
};

// Defaults: 100 ms sampling (4 x 25 ms), feet, start above 20 after 10 s,
// stop below 15 or after 60 s, zero on start of recording, trigger input on.
inline constexpr std::array<RegInfo, RegCount> RegTable{{
    {"SR", 16, 4},
    {"SI", 16, 25},
    {"SA", 16, 20},
    {"PA", 16, 15},
    {"ST", 16, 10},
    {"PT", 16, 60},
    {"UA", 8, 0},
    {"AS", 8, 2},
    {"AP", 8, 2},
    {"AZ", 8, 3},
    {"RT", 8, 1},
    {"RV", 8, 0},
}};

std::optional<Reg> FindReg(std::string_view name);
using Registers = std::array<std::uint16_t, RegCount>;
Registers DefaultRegisters();

// The value that fits the register, as the module's unsigned field holds it.
std::uint16_t FitRegister(Reg r, long long value);

// Altitude units as the UA register numbers them.
enum Units : int { Feet = 0, Yards = 1, Meters = 2 };

// One recorded data set in the module's memory.
struct FlightSet {
    int intervalMs = 100;
    int units = Feet;
    bool triggerInput = false;       // recorded with the external trigger input on
    std::vector<int> altitudes;      // whole units
    std::vector<int> triggerSamples; // ascending sample indexes where a trigger fired
};

// The marker line that precedes a sample at which a trigger fired.
inline constexpr int TriggerMarker = -1535;
// A set's record lines (samples plus markers) must fit a 16-bit count.
inline constexpr int MaxRecordLines = 65535;

struct Identity {
    std::string deviceName = "VEXA";
    std::string model = "MOD1-SIM";
    std::string softwareVersion = "0.07";
    std::string softwareDate = "05-14-04";
};

// What the module holds: its identity, configuration and recorded sets.
// Registers live twice: the working copy the commands read and write, and
// the committed copy that survives a reset.
class ModuleModel {
public:
    ModuleModel();

    const Identity& identity() const { return identity_; }
    void SetIdentity(Identity id) { identity_ = std::move(id); }

    std::uint16_t Get(Reg r) const { return working_[static_cast<std::size_t>(r)]; }
    void Set(Reg r, long long value);
    void Commit() { committed_ = working_; }
    void RestoreDefaults();
    // A power cycle: the working registers come back from the committed copy.
    void Reset() { working_ = committed_; }

    int SetCount() const { return static_cast<int>(sets_.size()); }
    const FlightSet& SetAt(int i) const { return sets_[static_cast<std::size_t>(i)]; }
    void AddSet(FlightSet set);
    void EraseAll() { sets_.clear(); }
    // Removes set i (from 0); later sets move down. False when there is no such set.
    bool EraseSet(int i);

    void ClearCalibration() { calibration_.reset(); }
    void Calibrate(int altitude) { calibration_ = altitude; }
    std::optional<int> calibration() const { return calibration_; }

private:
    Identity identity_;
    Registers working_;
    Registers committed_;
    std::vector<FlightSet> sets_;
    std::optional<int> calibration_;
};

// The download reply for a set: the header line "set,interval,lines,trigger,units"
// and one line per record, without line ends.
std::vector<std::string> DownloadLines(const FlightSet& set, int setNumber);

// Trims a set so that its samples and markers fit one download and no
// sample reads as a trigger marker.
void NormaliseSet(FlightSet& set);

} // namespace vexa::sim
