#pragma once

#include <array>
#include <cstdint>

namespace vexa {

inline constexpr int CodeSpace = 32768; // the microcontroller's flash
inline constexpr int SectorSize = 4096;
inline constexpr int LastSector = CodeSpace / SectorSize - 1;

// The steps of the in-system programming, in the order they run; each timer
// tick runs one (ProgramBlocks once per 512-byte block, AwaitFirmware once
// per poll).
enum class IspState {
    StartBootLoader, // "!" to the module's firmware, when asked to
    Synchronize,     // "?" until the boot loader answers "Synchronized"
    ConfirmSync,     // "Synchronized" back; it answers "OK"
    SetFrequency,    // the crystal frequency in kHz
    Unlock,          // the unlock code, so that erase, copy and go are allowed
    ReadPartId,      // "J": the part must be one this firmware is for
    PrepareSectors,  // "P 0 n" before the erase
    EraseSectors,    // "E 0 n"
    BlankCheck,      // "I 0 n"
    ProgramBlocks,   // write one block to RAM, copy it to flash, compare it
    RestartModule,   // the reset routine into RAM and "G"
    AwaitFirmware,   // the new firmware must answer "SV" with its identity
};

// The one firmware image and the in-system programming's progress through it.
// LoadHexFile resets all of it.
struct ProgrammingState {
    std::array<std::uint8_t, CodeSpace> FirmwareImage{};
    std::uint16_t ImageTop = 0;   // highest address written by a data record
    std::int32_t ImageLength = 0; // bytes to program from address 0
    std::int32_t EndSector = 0;   // last sector given to prepare, erase and blank check
    std::int32_t Remaining = 0;   // bytes still to program
    std::int32_t ReadOffset = 0;  // image offset of the next byte to send
    std::int32_t FlashAddress = 0;
    vexa::IspState IspState = vexa::IspState::StartBootLoader; // the next step to run
    std::int32_t BlocksDone = 0;
    std::int32_t BlocksCompared = 0; // blocks read back equal after their copy
    bool FlashErased = false;        // the erase was sent: sector 0 may be blank
    std::int64_t RestartedAtMs = 0;  // when "G" went out
};

} // namespace vexa
