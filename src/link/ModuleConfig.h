#pragma once

#include "ModuleLink.h"

#include <QString>
#include <array>
#include <cstdint>
#include <optional>
#include <variant>

namespace vexa {

// The program's copy of the module's twelve configuration registers.
struct ModuleConfig {
    std::uint16_t SR = 0;   // sampling interval, in SI units
    std::uint16_t SI = 100; // interval unit, ms
    std::uint16_t SA = 0;   // auto-start altitude
    std::uint16_t PA = 0;   // auto-stop altitude
    std::uint16_t ST = 0;   // auto-start delay, s
    std::uint16_t PT = 0;   // auto-stop time, s
    std::uint8_t UA = 0;    // AltitudeUnits
    std::uint8_t AS = 0;    // auto-start mode
    std::uint8_t AP = 0;    // auto-stop mode
    std::uint8_t AZ = 0;    // auto-zero mode
    std::uint8_t RT = 0;    // record the trigger input
    std::uint8_t RV = 0;    // reverse the trigger direction

    bool operator==(const ModuleConfig&) const = default;
};

enum AltitudeUnits : int { Feet = 0, Yards = 1, Meters = 2 };

// The values of the AS, AP and AZ registers, in the order their groups list them.
enum AutoStartMode : int { StartOff = 0, StartAfterPowerup, StartAboveAltitude, StartOnTrigger };
enum AutoStopMode : int { StopOff = 0, StopAfterTime, StopBelowAltitude };
enum AutoZeroMode : int { ZeroOff = 0, ZeroOnTrigger, ZeroOnPowerup, ZeroOnStart };

// "Feet", "Yards", "Meters"; empty for a value outside the list.
QString UnitName(int units);

// One configuration register: its command and the field that holds it,
// whose type is the register's width.
struct ConfigRegister {
    using Member = std::variant<std::uint16_t ModuleConfig::*, std::uint8_t ModuleConfig::*>;
    const char* name;
    Member member;

    int Get(const ModuleConfig& c) const;
    // Keeps the low bits that fit the register.
    void Set(ModuleConfig& c, int value) const;
};

// The twelve registers in the order they are read and written.
inline constexpr std::array<ConfigRegister, 12> ConfigRegisters{{
    {Cmd::SR, &ModuleConfig::SR},
    {Cmd::SI, &ModuleConfig::SI},
    {Cmd::SA, &ModuleConfig::SA},
    {Cmd::PA, &ModuleConfig::PA},
    {Cmd::ST, &ModuleConfig::ST},
    {Cmd::PT, &ModuleConfig::PT},
    {Cmd::UA, &ModuleConfig::UA},
    {Cmd::AS, &ModuleConfig::AS},
    {Cmd::AP, &ModuleConfig::AP},
    {Cmd::AZ, &ModuleConfig::AZ},
    {Cmd::RT, &ModuleConfig::RT},
    {Cmd::RV, &ModuleConfig::RV},
}};

// Reads the twelve registers; a register that does not answer reads 0.
// answered, when given, counts the values that arrived.
ModuleConfig ReadModuleConfig(ModuleLink& link, int* answered = nullptr);
// Writes the twelve registers in order, then commits them with "CW".
void WriteModuleConfig(ModuleLink& link, const ModuleConfig& config);

inline constexpr std::uint32_t OneHourMs = 3600000;
inline constexpr std::uint64_t ModuleMemorySamples = 32000;

// The parts of the interval, each with its own spinner.
enum class IntervalPart { Hours, Minutes, Seconds, Milliseconds };
inline constexpr IntervalPart IntervalParts[] = {IntervalPart::Hours, IntervalPart::Minutes,
                                                 IntervalPart::Seconds, IntervalPart::Milliseconds};

// The sampling interval as the Configure page shows it.
struct RecordInterval {
    std::int16_t hours = 0;
    std::int16_t minutes = 0;
    std::int16_t seconds = 0;
    std::int16_t milliseconds = 100;

    std::uint32_t TotalMs() const;
    std::int16_t& Part(IntervalPart part);
    std::int16_t Part(IntervalPart part) const
    {
        return const_cast<RecordInterval&>(*this).Part(part);
    }
    bool operator==(const RecordInterval&) const = default;
};

RecordInterval SplitInterval(std::uint32_t ms);

// The interval after the display rules: all zero becomes SI milliseconds,
// more than an hour becomes one hour.
RecordInterval NormalizeInterval(const RecordInterval& parts, std::uint16_t si);

// "Approximate Record Time: ..." for the module's memory at this interval.
QString RecordTimeText(std::uint32_t intervalMs);

// Spinner steps; none wraps around.
RecordInterval SpinInterval(RecordInterval parts, IntervalPart part, bool up, std::uint16_t si);

// What the Configure page's controls hold, as Write Config reads them. A
// group without a selection (index -1, after a module answered a value
// outside the list) keeps the value last read.
struct ConfigControls {
    RecordInterval interval;
    int unitsIndex = 0;
    bool trigger = false;
    bool reverseTrigger = false;
    int autoStart = 0;
    int autoStop = 0;
    int autoZero = 0;
    QString startAltitude; // SA
    QString stopAltitude;  // PA
    QString startSeconds;  // ST
    QString stopSeconds;   // PT
};

struct ConfigToWrite {
    ModuleConfig config;
    // The ST and PT fields after limiting to 0..65535, for showing back.
    QString startSeconds;
    QString stopSeconds;
};

// Builds the registers from the page; nothing when SI is 0 (no SR can be computed).
std::optional<ConfigToWrite> ConfigFromControls(const ConfigControls& controls,
                                                const ModuleConfig& lastRead);

} // namespace vexa
