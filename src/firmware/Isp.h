#pragma once

#include "HexImage.h"

#include <QString>
#include <array>
#include <cstdint>
#include <string>

namespace vexa {

class ModuleLink;

// The stage panels of the update dialog, top to bottom.
enum class IspStage { Connect, Synchronize, Unlock, Erase, BlankCheck, Program, Restart };
// How a stage's panel looks: shown when the stage begins, lime when it
// passed, red when it failed.
enum class StageLook { Shown, Passed, Failed };

// What the programming engine tells the update dialog. All calls come from
// inside IspStep, on the interface thread.
class IspReporter {
public:
    virtual ~IspReporter() = default;
    virtual void SetStage(IspStage stage, StageLook look) = 0;
    // The caption of the Erase panel, "Erase 0-n" and a CR.
    virtual void SetEraseCaption(const QString& caption) = 0;
    // The interval of the step timer from now on.
    virtual void SetTickInterval(int ms) = 0;
    // A modal message box, caption "Error", warning icon; the step returns after it.
    virtual void ShowError(const QString& message) = 0;
    // Lets the window repaint during the restart step.
    virtual void ProcessEvents() = 0;
};

inline constexpr int IspSlowTickMs = 200; // from the load until the blank check passed
inline constexpr int IspFastTickMs = 20;  // programming and restart
inline constexpr int ProgressDone = 1000;
inline constexpr int ProgressFailed = -1;
// A step's result: is the update still running (step again on the next tick)?
inline bool IspRunning(int progress)
{
    return progress >= 0 && progress <= 999;
}

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
// The update dialog's status text when the engine has finished.
inline constexpr const char* Complete = "Complete.";
inline constexpr const char* Failed = "Failed!";
} // namespace IspText

inline constexpr std::uint32_t IspRamBuffer = 268436224; // 0x10000300
inline constexpr int IspBlockSize = 512;
// A Thumb routine that requests a system reset: the microcontroller then
// starts the new firmware.
inline constexpr std::array<std::uint8_t, 16> RestartRoutine{
    0x01, 0x48, 0x02, 0x49, 0x01, 0x60, 0xFE, 0xE7, 0x0C, 0xED, 0x00, 0xE0, 0x04, 0x00, 0xFA, 0x05};

// Four UU characters for up to 3 bytes (bytes beyond count read as 0);
// a zero value is sent as '`', not as a space.
std::array<char, 4> UuEncodeGroup(const std::uint8_t* bytes, int count);
// One UU line: the length character and the groups, without a line end.
std::string UuEncodeLine(const std::uint8_t* bytes, int count);

// Runs the next step of the in-system programming on the open port and
// returns the new Progress (also stored in state). startIsp: first ask the
// module's firmware to hand over to its boot loader with "!".
int IspStep(ProgrammingState& state, ModuleLink& link, IspReporter& reporter, bool startIsp);

} // namespace vexa
