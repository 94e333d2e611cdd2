#include "HexImage.h"

#include <QFile>
#include <algorithm>
#include <vector>

namespace vexa {

namespace {

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v';
}

// A HEX file of a 32 KB image is well under 100 KB; anything far bigger is
// not one and is not read into memory whole.
constexpr qint64 MaxFileBytes = 16 * 1024 * 1024;

} // namespace

void WriteVectorChecksum(std::array<std::uint8_t, CodeSpace>& image)
{
    auto word = [&](std::size_t i) {
        return static_cast<std::uint32_t>(image[4 * i]) |
               static_cast<std::uint32_t>(image[4 * i + 1]) << 8 |
               static_cast<std::uint32_t>(image[4 * i + 2]) << 16 |
               static_cast<std::uint32_t>(image[4 * i + 3]) << 24;
    };
    std::uint32_t sum = word(7);
    for (std::size_t i = 0; i < 6; ++i)
        sum += word(i);
    const std::uint32_t check = 0u - sum;
    for (std::size_t b = 0; b < 4; ++b)
        image[24 + b] = static_cast<std::uint8_t>(check >> (8 * b));
}

int ParseHexRecord(const QByteArray& line, ProgrammingState& state, HexCursor& cursor)
{
    qsizetype begin = 0;
    qsizetype end = line.size();
    while (begin < end && IsBlank(line[begin]))
        ++begin;
    while (end > begin && IsBlank(line[end - 1]))
        --end;
    if (begin == end || line[begin] != ':')
        return HexSkipped;

    const qsizetype digits = end - begin - 1;
    // count, address (2), type, checksum: at least five bytes.
    if (digits < 10 || digits % 2 != 0)
        return HexMalformed;
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(digits / 2));
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const qsizetype at = begin + 1 + 2 * static_cast<qsizetype>(i);
        const int hi = HexDigit(line[at]);
        const int lo = HexDigit(line[at + 1]);
        if (hi < 0 || lo < 0)
            return HexMalformed;
        bytes[i] = static_cast<std::uint8_t>(hi << 4 | lo);
    }
    const std::size_t count = bytes[0];
    if (bytes.size() != count + 5)
        return HexMalformed;
    unsigned sum = 0;
    for (const std::uint8_t b : bytes)
        sum += b;
    if ((sum & 0xFF) != 0)
        return HexBadChecksum;

    const std::uint32_t address = static_cast<std::uint32_t>(bytes[1]) << 8 | bytes[2];
    const std::uint8_t* data = bytes.data() + 4;
    switch (bytes[3]) {
    case 0: {
        if (count == 0)
            return HexUsed;
        // Data under a raised base would otherwise land at its low 16 bits.
        if (cursor.extendedBase != 0)
            return HexHighAddress;
        if (address + count > static_cast<std::uint32_t>(CodeSpace))
            return HexOutOfRange;
        std::copy(data, data + count, state.FirmwareImage.begin() + address);
        for (std::uint32_t at = address; at < address + count && at < 8; ++at)
            cursor.vectorBytes = static_cast<std::uint8_t>(cursor.vectorBytes | 1u << at);
        const auto top = static_cast<std::uint16_t>(address + count - 1);
        if (top > state.ImageTop)
            state.ImageTop = top;
        ++cursor.dataRecords;
        return HexUsed;
    }
    case 1:
        return HexEnd;
    case 2:
    case 4: {
        if (count != 2)
            return HexMalformed;
        const std::uint32_t value = static_cast<std::uint32_t>(data[0]) << 8 | data[1];
        cursor.extendedBase = bytes[3] == 2 ? value << 4 : value << 16;
        return HexUsed;
    }
    case 3:
    case 5:
        return HexUsed; // start addresses mean nothing to the boot loader
    default:
        return HexMalformed;
    }
}

QString StartProblem(const ProgrammingState& state, const HexCursor& cursor)
{
    const auto word = [&](std::size_t i) {
        const auto* p = state.FirmwareImage.data() + 4 * i;
        return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
               static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
    };
    const auto hex = [](std::uint32_t v) {
        return QStringLiteral("0x") + QString::number(v, 16).toUpper().rightJustified(8, u'0');
    };
    const QString cannot = QStringLiteral(" The module could not start it; nothing was sent.");
    if (cursor.vectorBytes != 0xFF)
        return QStringLiteral("The image has no vector table: the file holds no data for its "
                              "first eight bytes (stack pointer and reset vector).") +
               cannot;
    const std::uint32_t stack = word(0);
    if (stack < RamStart || stack > RamEnd)
        return QStringLiteral("The image's initial stack pointer %1 lies outside the module's "
                              "RAM (%2 to %3).")
                   .arg(hex(stack), hex(RamStart), hex(RamEnd)) +
               cannot;
    const std::uint32_t reset = word(1);
    if ((reset & 1u) == 0)
        return QStringLiteral("The image's reset vector %1 is even: it does not point to Thumb "
                              "code.")
                   .arg(hex(reset)) +
               cannot;
    if ((reset & ~1u) >= static_cast<std::uint32_t>(CodeSpace))
        return QStringLiteral("The image's reset vector %1 lies outside the 32 KB of flash.")
                   .arg(hex(reset)) +
               cannot;
    return {};
}

HexLoadResult LoadHexText(const QByteArray& text, ProgrammingState& state)
{
    state = ProgrammingState{};
    HexCursor cursor;
    bool ended = false;
    int lineNo = 0;
    for (qsizetype pos = 0; pos < text.size() && !ended;) {
        qsizetype eol = text.indexOf('\n', pos);
        if (eol < 0)
            eol = text.size();
        const QByteArray line = text.mid(pos, eol - pos);
        pos = eol + 1;
        ++lineNo;
        const auto at = [&](const char* what) {
            return HexLoadResult{
                false,
                QStringLiteral("Line %1 of the hex file %2.").arg(lineNo).arg(QLatin1String(what))};
        };
        switch (ParseHexRecord(line, state, cursor)) {
        case HexSkipped:
        case HexUsed:
            break;
        case HexEnd:
            ended = true;
            break;
        case HexOutOfRange:
            return {false, QString::fromLatin1(HexText::ExceedsCodeSpace)};
        case HexMalformed:
            return at("is not a valid record");
        case HexBadChecksum:
            return at("is damaged (checksum error)");
        case HexHighAddress:
            return at("places data above the 64 KB base (extended address)");
        default:
            return at("cannot be read");
        }
    }
    if (cursor.dataRecords == 0)
        return {false, QStringLiteral("The file holds no firmware data.")};
    if (!ended)
        return {false, QStringLiteral("The hex file has no end record; it may be cut short.")};
    if (const QString problem = StartProblem(state, cursor); !problem.isEmpty())
        return {false, problem};

    WriteVectorChecksum(state.FirmwareImage);
    state.ReadOffset = 0;
    state.IspState = IspState::StartBootLoader;
    state.ImageLength = state.ImageTop + 1;
    // The part has sectors 0 to 7; an image in the last sector must not
    // name a sector 8 that every command would refuse.
    state.EndSector = std::min(state.ImageTop / SectorSize + 1, LastSector);
    state.Remaining = state.ImageLength;
    return {true, QString()};
}

HexLoadResult LoadHexFile(const QString& path, ProgrammingState& state)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        state = ProgrammingState{};
        return {false, QString::fromLatin1(HexText::CannotOpen)};
    }
    if (file.size() > MaxFileBytes) {
        state = ProgrammingState{};
        return {false, QString::fromLatin1(HexText::ExceedsCodeSpace)};
    }
    return LoadHexText(file.readAll(), state);
}

} // namespace vexa
