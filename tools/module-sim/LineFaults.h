#pragma once

#include "CommandInterpreter.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace vexa::sim {

struct FaultOptions {
    int silentAfter = -1; // lines sent before the module falls silent for good; -1 never
    int garbageEvery = 0; // a garbage line after every this many lines; 0 never
    int dropAfter = -1;   // download records sent before the cable comes out; -1 never
    int replugMs = 2000;  // how long the cable stays out once the line is quiet
    std::uint64_t seed = 1;
};

// Breaks the line the way real ones break. The unplugged cable: the cut
// falls inside the record after dropAfter, so part of that line arrives
// without its line end; then nothing passes either way until the last
// bytes have left and replugMs more have gone by.
class FaultInjector {
public:
    explicit FaultInjector(const FaultOptions& options);

    // The wire bytes of the lines, with the faults applied.
    std::string Render(const std::vector<OutLine>& lines);
    // What reaches the module of the input at nowMs; outputPending says the
    // last bytes before a cut are still on their way.
    std::string_view FilterInput(std::string_view in, std::int64_t nowMs, bool outputPending);

    // The cable comes out now (the far end said so).
    void Unplug()
    {
        unplugged_ = true;
        quietSince_ = -1;
    }

    bool Silent() const { return silent_; }
    bool Unplugged() const { return unplugged_; }

private:
    std::string GarbageLine();

    FaultOptions o_;
    std::uint64_t rngState_;
    long long linesSent_ = 0;
    int downloadRecords_ = 0;
    bool silent_ = false;
    bool unplugged_ = false;
    std::int64_t quietSince_ = -1;
};

// Paces bytes at the wire speed of a serial line: 10 bits a byte. The
// schedule hangs off a steady start time, so sending in chunks whenever the
// loop wakes adds no drift.
class WirePacer {
public:
    // baud 0 sends as fast as the line takes it.
    explicit WirePacer(int baud) : baud_(baud) {}

    void Queue(std::string_view bytes, std::int64_t nowUs);
    bool Pending() const { return head_ < queue_.size(); }
    std::size_t PendingBytes() const { return queue_.size() - head_; }
    // The bytes due on the wire by nowUs.
    std::string_view Due(std::int64_t nowUs);
    void Sent(std::size_t n);
    // Microseconds until the next byte is due: 0 when one is due now, -1 with nothing queued.
    std::int64_t UsUntilDue(std::int64_t nowUs) const;
    void Clear();

    // Catch-up after a stall is limited to this much wire time, so a late
    // loop never bursts faster than the wire would have carried it.
    static constexpr std::int64_t MaxBacklogUs = 20'000;
    static constexpr std::size_t UnpacedChunk = 4096;

private:
    std::int64_t DueAtUs(std::int64_t byteCount) const;

    int baud_;
    std::string queue_;
    std::size_t head_ = 0;
    std::int64_t epochUs_ = 0;
    std::int64_t sentSinceEpoch_ = 0;
};

} // namespace vexa::sim
