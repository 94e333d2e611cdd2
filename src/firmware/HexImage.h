#pragma once

#include "ProgrammingState.h"

#include <QByteArray>
#include <QString>
#include <array>
#include <cstdint>

namespace vexa {

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
    int dataRecords = 0;          // data records placed so far
    std::uint8_t vectorBytes = 0; // bit i: a record placed byte i (of the first eight)
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
// an extended address, no data at all, no end-of-file record, and an image
// the microcontroller could not start (see StartProblem).
HexLoadResult LoadHexFile(const QString& path, ProgrammingState& state);
// The same from the file's bytes.
HexLoadResult LoadHexText(const QByteArray& text, ProgrammingState& state);

// Sets word 6 so that words 0 to 7 of the image sum to 0: the boot ROM runs
// the image only then. Word 7 is the checksum slot other tool chains fill;
// it is left as it is.
void WriteVectorChecksum(std::array<std::uint8_t, CodeSpace>& image);

// The part's RAM, where the initial stack pointer must point.
inline constexpr std::uint32_t RamStart = 0x10000000;
inline constexpr std::uint32_t RamEnd = 0x10002000;

// Why the image could not start, for the user; empty when it can: no data
// in words 0 and 1, an initial stack pointer outside RAM, or a reset vector
// that is not Thumb code in flash. Such an image would leave the module
// unable to answer again.
QString StartProblem(const ProgrammingState& state, const HexCursor& cursor);

namespace HexText {
inline constexpr const char* CannotOpen = "Unable to open file.";
inline constexpr const char* ExceedsCodeSpace = "Hex file exceeds code space";
} // namespace HexText

} // namespace vexa
