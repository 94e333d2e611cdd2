#pragma once

#include "CommandInterpreter.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vexa::sim {

struct BootLoaderOptions {
    std::uint32_t partId = 0x0444102B; // what "J" answers
    int silentAfter = -1;              // lines sent before it falls silent for good; -1 never
    int resendAt = -1;                 // this checksum line (from 1) is answered RESEND once
    int resendFrom = -1;               // from this checksum line (from 1) on, every one is RESEND
    int cutAtWrite = -1; // the cable comes out halfway through this write to RAM (from 1)
    long stuckByte = -1; // a worn flash cell at this address stays 0xFF; -1 none
};

// The microcontroller's UART boot loader for a 32 KB part: eight 4 KB flash
// sectors, 8 KB of RAM from 0x10000000. Every received line is echoed (with
// CR LF) while echo is on; replies are lines ended by CR LF, return codes as
// the ROM's.
class BootLoader final : public Responder {
public:
    static constexpr std::uint32_t FlashSize = 32768;
    static constexpr std::uint32_t SectorSize = 4096;
    static constexpr int Sectors = FlashSize / SectorSize;
    static constexpr std::uint32_t RamBase = 0x10000000;
    static constexpr std::uint32_t RamSize = 8192;
    static constexpr int UnlockCode = 23130;
    static constexpr std::size_t MaxLine = 255;

    enum Code {
        CMD_SUCCESS = 0,
        INVALID_COMMAND = 1,
        SRC_ADDR_ERROR = 2,
        DST_ADDR_ERROR = 3,
        SRC_ADDR_NOT_MAPPED = 4,
        DST_ADDR_NOT_MAPPED = 5,
        COUNT_ERROR = 6,
        INVALID_SECTOR = 7,
        SECTOR_NOT_BLANK = 8,
        SECTOR_NOT_PREPARED = 9,
        COMPARE_ERROR = 10,
        PARAM_ERROR = 12,
        ADDR_ERROR = 13,
        ADDR_NOT_MAPPED = 14,
        CMD_LOCKED = 15,
        INVALID_CODE = 16,
        INVALID_BAUD_RATE = 17,
        INVALID_STOP_BIT = 18,
    };

    explicit BootLoader(const BootLoaderOptions& options = {});

    std::size_t Feed(std::string_view in, std::int64_t nowMs, Reply& reply) override;
    // Entered after a reset or a handover: waits for "?", echo on, locked.
    void Start(std::int64_t nowMs) override;
    // The ROM keeps the line at power-up when the flash holds no valid image.
    bool TakesLineAtPowerUp() const override { return !ImageValid(); }

    const std::vector<std::uint8_t>& Flash() const { return flash_; }
    std::vector<std::uint8_t>& Flash() { return flash_; }
    // Words 0 to 7 of the flash sum to 0: the ROM runs the image.
    bool ImageValid() const;

    // While the ROM runs, the first 512 bytes of flash read as its own vectors.
    static constexpr std::uint32_t RemappedBytes = 512;

private:
    enum class Mode { Autobaud, SyncLine, Frequency, Command, WriteData, ReadAck, Dead };

    void Line(const std::string& line, Reply& reply);
    void Command(const std::string& line, Reply& reply);
    void WriteDataLine(const std::string& line, Reply& reply);
    void ReadChunk(Reply& reply);
    void Say(Reply& reply, std::string text);
    void Code(Reply& reply, int code) { Say(reply, std::to_string(code)); }
    // Go: the routine at a RAM address, or the image in flash.
    void Go(std::uint32_t address, Reply& reply);

    std::uint8_t* Memory(std::uint32_t address, std::uint32_t count);
    // What a read or compare sees there: flash as of the last RefreshView,
    // with the ROM's vectors over its first bytes.
    const std::uint8_t* ReadView(std::uint32_t address, std::uint32_t count);
    void RefreshView();
    bool InRam(std::uint32_t address, std::uint32_t count) const;

    BootLoaderOptions o_;
    std::vector<std::uint8_t> flash_;
    std::vector<std::uint8_t> ram_;
    std::vector<std::uint8_t> view_; // flash as a read sees it
    std::array<bool, Sectors> prepared_{};
    Mode mode_ = Mode::Autobaud;
    std::string line_;
    bool echo_ = true;
    bool unlocked_ = false;
    long long linesSent_ = 0;
    int checksumsSeen_ = 0;
    int writes_ = 0;

    // Write to RAM in progress: the whole transfer and the group of lines
    // since the last checksum.
    std::uint32_t writeAddress_ = 0;
    std::uint32_t writeCount_ = 0;
    std::uint32_t writeDone_ = 0; // bytes confirmed by a checksum
    std::vector<std::uint8_t> group_;
    int groupLines_ = 0;

    // Read memory in progress.
    std::uint32_t readAddress_ = 0;
    std::uint32_t readCount_ = 0;
    std::uint32_t readDone_ = 0;
    std::uint32_t chunkBytes_ = 0;
};

// The UU line of up to 45 bytes as the boot loader sends and reads it.
std::string UuLine(const std::uint8_t* bytes, std::size_t count);
// The bytes of a UU line; as many as its length character says, at most 63.
std::vector<std::uint8_t> UuDecodeLine(std::string_view line);

} // namespace vexa::sim
