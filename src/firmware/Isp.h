#pragma once

#include "HexImage.h"

#include <QString>
#include <array>
#include <cstdint>
#include <string>

namespace vexa {

class ModuleLink;

// The stages of an update as the user sees them, in order.
enum class IspStage { Connect, Synchronize, Unlock, Erase, BlankCheck, Program, Restart };
// Where a stage is: begun, passed, or failed.
enum class StageLook { Shown, Passed, Failed };

// The stage's name as the user reads it ("Blank Check").
QString StageName(IspStage stage);

// What the programming engine tells whoever shows the update. All calls come
// from inside IspStep.
class IspReporter {
public:
    virtual ~IspReporter() = default;
    virtual void SetStage(IspStage stage, StageLook look) = 0;
    // The sectors the erase covers: 0 to endSector.
    virtual void SetEraseSectors(int endSector) = 0;
    // How long to wait before the next step.
    virtual void SetTickInterval(int ms) = 0;
};

// What one step ended in.
struct IspOutcome {
    enum class Kind { Running, Complete, Failed };
    Kind kind = Kind::Running;
    int thousandths = 0; // of the work, while running: 0 to 999
    QString reason;      // after a failure: what happened and what the user can do

    bool Running() const { return kind == Kind::Running; }
};

// The boot loader's side of the exchange: what it expects and how long it
// may take. Numbers go over the line in decimal.
namespace Isp {
inline constexpr const char* CrystalKhz = "12000";      // the module's 12 MHz crystal
inline constexpr const char* UnlockCommand = "U 23130"; // the published unlock code, 0x5A5A
// The part identifications "J" may answer, as decimal text: 0x0444102B and 0x2540102B.
inline constexpr std::array<const char*, 2> PartIds{"71569451", "624955435"};
inline constexpr std::uint32_t RamBuffer = 0x10000300; // where blocks are written before a copy
inline constexpr int BlockBytes = 512;                 // one write to RAM and one copy to flash
inline constexpr int UuLineBytes = 45;                 // a block is 11 lines of 45 bytes
inline constexpr int BlockLines = 12;                  // ... and one of 17
// Reads and compares of these first bytes of flash see the boot ROM, not the
// flash, while the boot loader runs: block 0 is checked by the restart.
inline constexpr int RemappedBytes = 512;
inline constexpr int MaxResends = 3;   // a block answered RESEND is sent again this often
inline constexpr int ReplyMax = 80;    // characters of a reply line kept
inline constexpr int ReplyMs = 1000;   // for each reply line of the boot loader
inline constexpr int SlowTickMs = 200; // between steps until the blank check has passed
inline constexpr int FastTickMs = 20;  // between steps from then on
// From "G" until the new firmware must have answered "SV": its start-up
// and the answer.
inline constexpr int FirmwareAnswerMs = 5000;
// A Thumb routine that requests a system reset: load the address E000ED0C
// (the interrupt and reset control register) and the key 05FA0004 with the
// reset request bit, store, spin. The last 8 bytes are the two constants.
inline constexpr std::array<std::uint8_t, 16> RestartRoutine{
    0x01, 0x48, 0x02, 0x49, 0x01, 0x60, 0xFE, 0xE7, 0x0C, 0xED, 0x00, 0xE0, 0x04, 0x00, 0xFA, 0x05};
} // namespace Isp

// The boot loader's and the engine's own failure texts.
namespace IspText {
inline constexpr const char* NotResponding = "Part not responding";
inline constexpr const char* NotSynchronized = "Part not synchronized";
inline constexpr const char* FreqNotAcknowledged = "Freq not acknowledged";
inline constexpr const char* UnlockFailed = "Unlock failed";
inline constexpr const char* InvalidPartId = "Invalid part ID";
inline constexpr const char* FailedPrepErase = "Failed prep erase";
inline constexpr const char* FailedErase = "Failed erase";
inline constexpr const char* FailedBlankCheck = "Failed blank check";
inline constexpr const char* VerifyFailed = "Flash verify failed";
} // namespace IspText

// Four UU characters for up to 3 bytes (bytes beyond count read as 0);
// a zero value is sent as '`', not as a space.
std::array<char, 4> UuEncodeGroup(const std::uint8_t* bytes, int count);
// One UU line: the length character and the groups, without a line end.
std::string UuEncodeLine(const std::uint8_t* bytes, int count);

// Runs the next step of the in-system programming on the open port.
// startIsp: first ask the module's firmware to hand over to its boot loader
// with "!".
IspOutcome IspStep(ProgrammingState& state, ModuleLink& link, IspReporter& reporter, bool startIsp);

} // namespace vexa
