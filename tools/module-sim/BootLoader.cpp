#include "BootLoader.h"

#include <algorithm>
#include <cctype>
#include <charconv>

namespace vexa::sim {

namespace {

constexpr int LinesPerChecksum = 20;
constexpr std::size_t UuBytesPerLine = 45;

// The reset request routine the updater runs from RAM.
constexpr std::array<std::uint8_t, 16> ResetRoutine{0x01, 0x48, 0x02, 0x49, 0x01, 0x60, 0xFE, 0xE7,
                                                    0x0C, 0xED, 0x00, 0xE0, 0x04, 0x00, 0xFA, 0x05};

std::uint32_t Word(const std::uint8_t* p)
{
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

std::vector<std::string_view> Split(std::string_view line)
{
    std::vector<std::string_view> words;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && line[i] == ' ')
            ++i;
        const std::size_t start = i;
        while (i < line.size() && line[i] != ' ')
            ++i;
        if (i > start)
            words.push_back(line.substr(start, i - start));
    }
    return words;
}

// A whole decimal number that fits 32 bits; anything else is a parameter error.
bool Number(std::string_view text, std::uint32_t& value)
{
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size();
}

// A stand-in firmware: an erased part with a valid vector table, so the
// module runs at power-up until something erases sector 0.
// The boot ROM's own vector table, which reads of the bottom of flash see while it runs.
std::vector<std::uint8_t> RomVectors()
{
    std::vector<std::uint8_t> rom(BootLoader::RemappedBytes);
    for (std::size_t i = 0; i < rom.size(); i += 4) {
        const std::uint32_t w =
            i == 0 ? 0x10000FFCu : (0x1FFF0000u + static_cast<std::uint32_t>(i)) | 1u;
        for (std::size_t b = 0; b < 4; ++b)
            rom[i + b] = static_cast<std::uint8_t>(w >> (8 * b));
    }
    return rom;
}

std::vector<std::uint8_t> FactoryFlash()
{
    std::vector<std::uint8_t> flash(BootLoader::FlashSize, 0xFF);
    const std::array<std::uint32_t, 6> vectors{0x10002000, 0xC1, 0xC3, 0xC5, 0xC7, 0xC9};
    std::uint32_t sum = 0;
    for (std::size_t i = 0; i < 8; ++i) {
        std::uint32_t w = 0;
        if (i < 6)
            w = vectors[i];
        else if (i == 6)
            w = 0u - sum;
        sum += w;
        for (std::size_t b = 0; b < 4; ++b)
            flash[4 * i + b] = static_cast<std::uint8_t>(w >> (8 * b));
    }
    return flash;
}

} // namespace

std::string UuLine(const std::uint8_t* bytes, std::size_t count)
{
    auto c = [](unsigned v) { return v == 0 ? '`' : static_cast<char>(v + 32); };
    std::string line(1, c(static_cast<unsigned>(count)));
    for (std::size_t i = 0; i < count; i += 3) {
        const unsigned b0 = bytes[i];
        const unsigned b1 = i + 1 < count ? bytes[i + 1] : 0;
        const unsigned b2 = i + 2 < count ? bytes[i + 2] : 0;
        line += c(b0 >> 2);
        line += c((b0 & 3) << 4 | b1 >> 4);
        line += c((b1 & 15) << 2 | b2 >> 6);
        line += c(b2 & 63);
    }
    return line;
}

std::vector<std::uint8_t> UuDecodeLine(std::string_view line)
{
    std::vector<std::uint8_t> out;
    if (line.empty())
        return out;
    auto v = [](char ch) { return static_cast<unsigned>(ch - 32) & 63; };
    const std::size_t count = v(line[0]);
    for (std::size_t i = 1; out.size() < count; i += 4) {
        unsigned q[4];
        for (std::size_t k = 0; k < 4; ++k)
            q[k] = i + k < line.size() ? v(line[i + k]) : 0;
        const std::uint8_t bytes[3] = {static_cast<std::uint8_t>(q[0] << 2 | q[1] >> 4),
                                       static_cast<std::uint8_t>((q[1] & 15) << 4 | q[2] >> 2),
                                       static_cast<std::uint8_t>((q[2] & 3) << 6 | q[3])};
        for (std::size_t k = 0; k < 3 && out.size() < count; ++k)
            out.push_back(bytes[k]);
    }
    return out;
}

BootLoader::BootLoader(const BootLoaderOptions& options)
    : o_(options), flash_(FactoryFlash()), ram_(RamSize, 0)
{
    RefreshView();
}

bool BootLoader::ImageValid() const
{
    std::uint32_t sum = 0;
    for (std::size_t i = 0; i < 8; ++i)
        sum += Word(&flash_[4 * i]);
    return sum == 0;
}

void BootLoader::Start(std::int64_t)
{
    mode_ = Mode::Autobaud;
    line_.clear();
    echo_ = true;
    unlocked_ = false;
    prepared_.fill(false);
}

void BootLoader::Say(Reply& reply, std::string text)
{
    if (o_.silentAfter >= 0 && linesSent_ >= o_.silentAfter)
        return;
    ++linesSent_;
    reply.lines.push_back({LineKind::Reply, std::move(text)});
}

std::size_t BootLoader::Feed(std::string_view in, std::int64_t, Reply& reply)
{
    for (std::size_t i = 0; i < in.size(); ++i) {
        const char c = in[i];
        if (mode_ == Mode::Dead)
            return in.size();
        if (mode_ == Mode::Autobaud) {
            if (c == '?') {
                Say(reply, "Synchronized");
                mode_ = Mode::SyncLine;
            }
            continue;
        }
        if (c == '\r' || c == '\n') {
            // Extra line ends are ignored.
            if (!line_.empty()) {
                const std::string line = std::move(line_);
                line_.clear();
                Line(line, reply);
                if (reply.handover != Handover::None)
                    return i + 1;
            }
            continue;
        }
        if (line_.size() < MaxLine)
            line_ += c;
    }
    return in.size();
}

void BootLoader::Line(const std::string& line, Reply& reply)
{
    if (mode_ == Mode::WriteData && o_.cutAtWrite == writes_ && groupLines_ == 6 &&
        writeDone_ == 0) {
        // Halfway through the first lines of that write the cable comes out.
        mode_ = Mode::Dead;
        reply.unplug = true;
        return;
    }
    if (echo_)
        Say(reply, line);
    switch (mode_) {
    case Mode::SyncLine:
        if (line == "Synchronized") {
            Say(reply, "OK");
            mode_ = Mode::Frequency;
        } else {
            mode_ = Mode::Autobaud;
        }
        return;
    case Mode::Frequency: {
        std::uint32_t khz = 0;
        if (Number(line, khz) && khz > 0) {
            Say(reply, "OK");
            mode_ = Mode::Command;
        }
        return;
    }
    case Mode::WriteData:
        WriteDataLine(line, reply);
        return;
    case Mode::ReadAck:
        if (line == "OK") {
            readDone_ += chunkBytes_;
            if (readDone_ >= readCount_) {
                mode_ = Mode::Command;
                return;
            }
        }
        ReadChunk(reply); // anything else asks for the chunk again
        return;
    default:
        Command(line, reply);
        return;
    }
}

bool BootLoader::InRam(std::uint32_t address, std::uint32_t count) const
{
    return address >= RamBase && address - RamBase <= RamSize &&
           count <= RamSize - (address - RamBase);
}

std::uint8_t* BootLoader::Memory(std::uint32_t address, std::uint32_t count)
{
    if (address < FlashSize && count <= FlashSize - address)
        return &flash_[address];
    if (InRam(address, count))
        return &ram_[address - RamBase];
    return nullptr;
}

void BootLoader::RefreshView()
{
    static_assert(RemappedBytes <= FlashSize);
    view_ = flash_;
    const std::vector<std::uint8_t> rom = RomVectors();
    std::copy(rom.begin(), rom.end(), view_.begin());
}

const std::uint8_t* BootLoader::ReadView(std::uint32_t address, std::uint32_t count)
{
    const std::uint8_t* p = Memory(address, count);
    if (!p || address >= FlashSize)
        return p;
    return &view_[address];
}

void BootLoader::Command(const std::string& line, Reply& reply)
{
    const std::vector<std::string_view> w = Split(line);
    if (w.empty() || w[0].size() != 1) {
        Code(reply, INVALID_COMMAND);
        return;
    }
    std::uint32_t a[3] = {0, 0, 0};
    auto args = [&](std::size_t n) {
        if (w.size() != n + 1)
            return false;
        for (std::size_t k = 0; k < n; ++k)
            if (!Number(w[k + 1], a[k]))
                return false;
        return true;
    };
    auto sectors = [&](int& code) {
        code = a[0] > a[1] || a[1] >= static_cast<std::uint32_t>(Sectors) ? INVALID_SECTOR : 0;
        return code == 0;
    };
    // W (into RAM) and R (anywhere mapped): a word-aligned address and count.
    auto transfer = [&](bool ramOnly) {
        if (!args(2))
            return PARAM_ERROR;
        if (a[0] % 4 != 0)
            return ADDR_ERROR;
        if (a[1] % 4 != 0)
            return COUNT_ERROR;
        const bool mapped = ramOnly ? InRam(a[0], a[1]) : ReadView(a[0], a[1]) != nullptr;
        return mapped ? CMD_SUCCESS : ADDR_NOT_MAPPED;
    };

    int code = CMD_SUCCESS;
    switch (w[0][0]) {
    case 'U':
        if (!args(1))
            return Code(reply, PARAM_ERROR);
        unlocked_ = a[0] == static_cast<std::uint32_t>(UnlockCode);
        return Code(reply, unlocked_ ? CMD_SUCCESS : INVALID_CODE);
    case 'A':
        if (!args(1) || a[0] > 1)
            return Code(reply, PARAM_ERROR);
        Code(reply, CMD_SUCCESS);
        echo_ = a[0] == 1;
        return;
    case 'B': {
        if (!args(2))
            return Code(reply, PARAM_ERROR);
        const std::uint32_t rates[] = {9600, 19200, 38400, 57600, 115200};
        if (std::find(std::begin(rates), std::end(rates), a[0]) == std::end(rates))
            return Code(reply, INVALID_BAUD_RATE);
        return Code(reply, a[1] == 1 || a[1] == 2 ? CMD_SUCCESS : INVALID_STOP_BIT);
    }
    case 'J':
        if (!args(0))
            return Code(reply, PARAM_ERROR);
        Code(reply, CMD_SUCCESS);
        return Say(reply, std::to_string(o_.partId));
    case 'K':
        if (!args(0))
            return Code(reply, PARAM_ERROR);
        Code(reply, CMD_SUCCESS);
        Say(reply, "1"); // minor, then major: version 7.1
        return Say(reply, "7");
    case 'N':
        if (!args(0))
            return Code(reply, PARAM_ERROR);
        Code(reply, CMD_SUCCESS);
        for (const char* word : {"1329856770", "403113061", "1094930769", "2566915061"})
            Say(reply, word);
        return;
    case 'P':
        if (!args(2))
            return Code(reply, PARAM_ERROR);
        if (!sectors(code))
            return Code(reply, code);
        for (std::uint32_t s = a[0]; s <= a[1]; ++s)
            prepared_[s] = true;
        return Code(reply, CMD_SUCCESS);
    case 'E':
        if (!args(2))
            return Code(reply, PARAM_ERROR);
        if (!unlocked_)
            return Code(reply, CMD_LOCKED);
        if (!sectors(code))
            return Code(reply, code);
        for (std::uint32_t s = a[0]; s <= a[1]; ++s)
            if (!prepared_[s])
                return Code(reply, SECTOR_NOT_PREPARED);
        for (std::uint32_t s = a[0]; s <= a[1]; ++s) {
            std::fill_n(flash_.begin() + s * SectorSize, SectorSize, std::uint8_t{0xFF});
            prepared_[s] = false;
        }
        return Code(reply, CMD_SUCCESS);
    case 'I': {
        if (!args(2))
            return Code(reply, PARAM_ERROR);
        if (!sectors(code))
            return Code(reply, code);
        const std::uint32_t from = a[0] * SectorSize;
        const std::uint32_t to = (a[1] + 1) * SectorSize;
        for (std::uint32_t at = from; at < to; at += 4) {
            const std::uint32_t word = Word(&flash_[at]);
            if (word != 0xFFFFFFFF) {
                Code(reply, SECTOR_NOT_BLANK);
                Say(reply, std::to_string(at - from));
                return Say(reply, std::to_string(word));
            }
        }
        return Code(reply, CMD_SUCCESS);
    }
    case 'W': {
        const int result = transfer(true);
        Code(reply, result);
        if (result != CMD_SUCCESS)
            return;
        ++writes_;
        writeAddress_ = a[0];
        writeCount_ = a[1];
        writeDone_ = 0;
        group_.clear();
        groupLines_ = 0;
        if (writeCount_ > 0)
            mode_ = Mode::WriteData;
        return;
    }
    case 'R': {
        RefreshView();
        const int result = transfer(false);
        Code(reply, result);
        if (result != CMD_SUCCESS)
            return;
        readAddress_ = a[0];
        readCount_ = a[1];
        readDone_ = 0;
        if (readCount_ > 0) {
            mode_ = Mode::ReadAck;
            ReadChunk(reply);
        }
        return;
    }
    case 'C': {
        if (!args(3))
            return Code(reply, PARAM_ERROR);
        if (!unlocked_)
            return Code(reply, CMD_LOCKED);
        const std::uint32_t dst = a[0], src = a[1], count = a[2];
        if (dst % 256 != 0)
            return Code(reply, DST_ADDR_ERROR);
        if (src % 4 != 0)
            return Code(reply, SRC_ADDR_ERROR);
        if (count != 256 && count != 512 && count != 1024 && count != 4096)
            return Code(reply, COUNT_ERROR);
        if (dst >= FlashSize || count > FlashSize - dst)
            return Code(reply, DST_ADDR_NOT_MAPPED);
        if (!InRam(src, count))
            return Code(reply, SRC_ADDR_NOT_MAPPED);
        const std::uint32_t first = dst / SectorSize, last = (dst + count - 1) / SectorSize;
        for (std::uint32_t s = first; s <= last; ++s)
            if (!prepared_[s])
                return Code(reply, SECTOR_NOT_PREPARED);
        // Programming only clears bits; only an erase sets them again.
        for (std::uint32_t k = 0; k < count; ++k)
            if (static_cast<long>(dst + k) != o_.stuckByte)
                flash_[dst + k] &= ram_[src - RamBase + k];
        for (std::uint32_t s = first; s <= last; ++s)
            prepared_[s] = false;
        return Code(reply, CMD_SUCCESS);
    }
    case 'M': {
        if (!args(3))
            return Code(reply, PARAM_ERROR);
        if (a[0] % 4 != 0)
            return Code(reply, SRC_ADDR_ERROR);
        if (a[1] % 4 != 0)
            return Code(reply, DST_ADDR_ERROR);
        if (a[2] % 4 != 0)
            return Code(reply, COUNT_ERROR);
        RefreshView();
        const std::uint8_t* p = ReadView(a[0], a[2]);
        const std::uint8_t* q = ReadView(a[1], a[2]);
        if (!p)
            return Code(reply, SRC_ADDR_NOT_MAPPED);
        if (!q)
            return Code(reply, DST_ADDR_NOT_MAPPED);
        const auto diff = std::mismatch(p, p + a[2], q);
        if (diff.first == p + a[2])
            return Code(reply, CMD_SUCCESS);
        Code(reply, COMPARE_ERROR);
        return Say(reply, std::to_string(diff.first - p));
    }
    case 'G':
        if (w.size() != 3 || !Number(w[1], a[0]))
            return Code(reply, PARAM_ERROR);
        if (w[2] != "T")
            return Code(reply, PARAM_ERROR); // a Cortex-M core runs Thumb code only
        if (!unlocked_)
            return Code(reply, CMD_LOCKED);
        if (!Memory(a[0], 4))
            return Code(reply, ADDR_NOT_MAPPED);
        Code(reply, CMD_SUCCESS);
        return Go(a[0], reply);
    default:
        return Code(reply, INVALID_COMMAND);
    }
}

void BootLoader::Go(std::uint32_t address, Reply& reply)
{
    const bool resets =
        InRam(address, ResetRoutine.size()) &&
        std::equal(ResetRoutine.begin(), ResetRoutine.end(), ram_.begin() + (address - RamBase));
    if (resets || address < FlashSize) {
        // A reset runs the image when its vector checksum holds, else the
        // ROM comes back; jumping into flash runs it either way.
        if (ImageValid())
            reply.handover = Handover::Firmware;
        else if (resets)
            Start(0);
        else
            mode_ = Mode::Dead;
        return;
    }
    mode_ = Mode::Dead; // unknown code: the core runs off and never answers again
}

void BootLoader::WriteDataLine(const std::string& line, Reply& reply)
{
    const std::uint32_t pending = writeDone_ + static_cast<std::uint32_t>(group_.size());
    if (groupLines_ < LinesPerChecksum && pending < writeCount_) {
        std::vector<std::uint8_t> bytes = UuDecodeLine(line);
        bytes.resize(std::min<std::size_t>(bytes.size(), writeCount_ - pending));
        group_.insert(group_.end(), bytes.begin(), bytes.end());
        ++groupLines_;
        return;
    }
    // The checksum of the lines since the last one.
    std::uint32_t sum = 0;
    for (const std::uint8_t b : group_)
        sum += b;
    std::uint32_t given = 0;
    bool good = Number(line, given) && given == sum;
    if (good) {
        ++checksumsSeen_;
        const bool forced =
            checksumsSeen_ == o_.resendAt || (o_.resendFrom > 0 && checksumsSeen_ >= o_.resendFrom);
        good = !forced;
    }
    if (!good) {
        Say(reply, "RESEND");
    } else {
        std::copy(group_.begin(), group_.end(),
                  ram_.begin() + (writeAddress_ - RamBase + writeDone_));
        writeDone_ += static_cast<std::uint32_t>(group_.size());
        Say(reply, "OK");
        if (writeDone_ >= writeCount_)
            mode_ = Mode::Command;
    }
    group_.clear();
    groupLines_ = 0;
}

void BootLoader::ReadChunk(Reply& reply)
{
    const std::uint8_t* p = ReadView(readAddress_ + readDone_, readCount_ - readDone_);
    chunkBytes_ = 0;
    std::uint32_t sum = 0;
    for (int lineNo = 0; lineNo < LinesPerChecksum && readDone_ + chunkBytes_ < readCount_;
         ++lineNo) {
        const std::size_t n =
            std::min<std::size_t>(UuBytesPerLine, readCount_ - readDone_ - chunkBytes_);
        for (std::size_t k = 0; k < n; ++k)
            sum += p[chunkBytes_ + k];
        Say(reply, UuLine(p + chunkBytes_, n));
        chunkBytes_ += static_cast<std::uint32_t>(n);
    }
    Say(reply, std::to_string(sum));
}

} // namespace vexa::sim
