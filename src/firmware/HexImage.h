#pragma once

#include <QByteArray>
#include <QString>
#include <array>
#include <cstdint>

namespace vexa {

inline constexpr int CodeSpace = 32768; // the microcontroller's flash
inline constexpr int SectorSize = 4096;
inline constexpr int LastSector = CodeSpace / SectorSize - 1;

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
    std::int32_t IspState = 0; // next IspStep to run, 0 to 10
    std::int32_t Progress = 0; // 0..999 running, 1000 done, -1 failed
    std::int32_t BlocksDone = 0;
};

// What ParseHexRecord made of a line.
enum HexRecordResult : int {
    HexSkipped = 0,    // not a record (blank, or no leading ':')
    HexUsed = 1,       // data placed, or a record that places nothing
    HexOutOfRange = 2, // data beyond the code space
    HexMalformed = 3,  // bad digits, a count that disagrees with the length, unknown type
    HexBadChecksum = 4,
    HexHighAddress = 5, // data under a non-zero extended segment or linear address
    HexEnd = 6,         // the end-of-file record
};

// Reading position of a file in records: the extended address in force.
struct HexCursor {
    std::uint32_t extendedBase = 0;
    int dataRecords = 0; // data records placed so far
};

// One line of a HEX file, of any length, without or with its line end.
// Writes nothing outside FirmwareImage whatever the line holds.
int ParseHexRecord(const QByteArray& line, ProgrammingState& state, HexCursor& cursor);

struct HexLoadResult {
    bool ok = false;
    QString message; // for an "Error" box when not ok
};

// Reads a HEX file into state. Refuses, with a message and before anything
// touches the module, every file that is not clearly a whole, good image:
// a damaged or malformed record, data outside the 32 KB code space or under
// an extended address, no data at all, no end-of-file record.
HexLoadResult LoadHexFile(const QString& path, ProgrammingState& state);
// The same from the file's bytes.
HexLoadResult LoadHexText(const QByteArray& text, ProgrammingState& state);

// Words 0..6 of the image sum to 0: word 6 is the vector checksum the
// microcontroller checks before it runs the image.
void WriteVectorChecksum(std::array<std::uint8_t, CodeSpace>& image);

namespace HexText {
inline constexpr const char* CannotOpen = "Unable to open file.";
inline constexpr const char* ExceedsCodeSpace = "Hex file exceeds code space";
} // namespace HexText

} // namespace vexa
