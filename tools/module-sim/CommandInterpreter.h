#pragma once

#include "ModuleModel.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace vexa::sim {

// What a sent line is, so faults can pick their spot (a download's records,
// every line) and raw bytes keep their framing.
enum class LineKind { Ack, Reply, DownloadHeader, DownloadRecord, Raw };

struct OutLine {
    LineKind kind;
    std::string text; // without line end; Raw goes out exactly as it stands
};

// Who answers the line after this exchange.
enum class Handover { None, BootLoader, Firmware };

struct Reply {
    std::vector<OutLine> lines;
    // The module reset: whatever it was still sending never leaves it.
    bool cutOutput = false;
    // The cable came out: nothing passes until it is plugged in again.
    bool unplug = false;
    Handover handover = Handover::None;
};

// The bytes of lines as they go out on the wire: CR LF after each line.
std::string WireBytes(const std::vector<OutLine>& lines);

// One personality of the module's serial line: its firmware's command side,
// or the microcontroller's boot loader.
class Responder {
public:
    virtual ~Responder() = default;
    // Takes bytes that arrived at nowMs and adds the answers to reply.
    // Returns how many bytes it used: fewer than in.size() only when it hands
    // the line over, and the rest then belongs to the next responder.
    virtual std::size_t Feed(std::string_view in, std::int64_t nowMs, Reply& reply) = 0;
    // Takes the line: after a power-up or a handover back.
    virtual void Start(std::int64_t nowMs) { (void)nowMs; }
    // Whether it, and not the firmware, has the line after a power-up.
    virtual bool TakesLineAtPowerUp() const { return false; }
};

// The module firmware's command side. Commands end with CR or LF; "*" resets
// at once and "!" hands the line to the boot loader, both without a line end.
class CommandInterpreter final : public Responder {
public:
    static constexpr int DefaultResetMs = 1500;
    static constexpr std::size_t MaxCommand = 255;

    explicit CommandInterpreter(ModuleModel& model, int resetMs = DefaultResetMs)
        : model_(model), resetMs_(resetMs)
    {
    }

    std::size_t Feed(std::string_view in, std::int64_t nowMs, Reply& reply) override;
    // Boots the firmware: committed configuration, deaf until it is up.
    void Start(std::int64_t nowMs) override;

    // True while the module reboots and drops what it receives.
    bool Busy(std::int64_t nowMs) const { return nowMs < busyUntil_; }

private:
    void Execute(const std::string& command, Reply& reply);

    ModuleModel& model_;
    int resetMs_;
    std::string line_;
    std::int64_t busyUntil_ = 0;
};

// The serial line's far end: routes input to whichever responder holds the
// line and switches on handovers. Without a boot loader, "!" is answered and
// the firmware keeps the line.
class ModuleSession {
public:
    explicit ModuleSession(ModuleModel& model, int resetMs = CommandInterpreter::DefaultResetMs)
        : firmware_(model, resetMs)
    {
    }

    void SetBootLoader(std::unique_ptr<Responder> bootLoader)
    {
        bootLoader_ = std::move(bootLoader);
    }
    bool InBootLoader() const { return active_ != &firmware_; }
    // Switches the module on (again): the boot loader keeps the line when it
    // wants it at power-up or when forced, as by the boot pin.
    void PowerUp(std::int64_t nowMs, bool forceBootLoader = false);

    Reply Feed(std::string_view in, std::int64_t nowMs);

private:
    CommandInterpreter firmware_;
    std::unique_ptr<Responder> bootLoader_;
    Responder* active_ = &firmware_;
};

} // namespace vexa::sim
