#pragma once

#include "Decimal.h"
#include "SerialPort.h"

#include <optional>

namespace vexa {

// Every command the program sends to the module.
namespace Cmd {
inline constexpr const char* SoftwareVersion = "SV";
inline constexpr const char* NumberOfSets = "NS";
// The twelve configuration registers, in the order they are read and written.
inline constexpr const char* SR = "SR";
inline constexpr const char* SI = "SI";
inline constexpr const char* SA = "SA";
inline constexpr const char* PA = "PA";
inline constexpr const char* ST = "ST";
inline constexpr const char* PT = "PT";
inline constexpr const char* UA = "UA";
inline constexpr const char* AS = "AS";
inline constexpr const char* AP = "AP";
inline constexpr const char* AZ = "AZ";
inline constexpr const char* RT = "RT";
inline constexpr const char* RV = "RV";
inline constexpr const char* ConfigWrite = "CW";
inline constexpr const char* ConfigRestore = "CR";
inline constexpr const char* EraseAll = "EA";
inline constexpr const char* EraseSet = "ES";
inline constexpr const char* Download = "DL";
inline constexpr const char* CalClear = "CalClr\r";        // raw write, 7 bytes
inline constexpr const char* CalSetFormat = "CalSet %d\n"; // raw write, ends in LF
inline constexpr const char* Reset = "*";                  // raw write, no terminator
inline constexpr const char* EnterIsp = "!";
} // namespace Cmd

inline constexpr int LineMax = 256; // reply line buffers hold 256 characters + NUL
inline constexpr int ReplyTimeoutMs = 200;

// The module's identity as Download Info reads it.
struct ModuleIdentity {
    QString deviceName;
    QString model;
    QString softwareVersion;
    QString softwareDate;
};

// What Simulate Target answers in place of a module.
struct SimulatedTarget {
    static ModuleIdentity Identity() { return {"VEXA", "MOD1", "0.03", "08-27-03"}; }
    static constexpr int SR = 4;
    static constexpr int UA = 0;
    static constexpr int SetCount = 0;
};

// The module's command exchanges. Each starts by draining stray input, so
// bytes left from an earlier exchange never count as a reply.
class ModuleLink {
public:
    explicit ModuleLink(SerialPort& port) : port_(port) {}

    // name CR, then one acknowledgement line; returns its length (0 on silence).
    int SendCommand(const char* name);
    // name=value CR, then one acknowledgement line.
    int SetValue(const char* name, int value);
    // name CR, acknowledgement, then the value line; silence reads as 0.
    // arrived, when given, says whether the value line came.
    int GetValue(const char* name, bool* arrived = nullptr);

    SerialPort& port() { return port_; }

private:
    SerialPort& port_;
    char line_[LineMax + 1] = {};
};

} // namespace vexa
