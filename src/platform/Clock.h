#pragma once

#include <cstdint>

namespace vexa {

// Every wait and time-out goes through a Clock so that tests can run the
// serial protocol in virtual time.
class Clock {
public:
    virtual ~Clock() = default;
    // Milliseconds from an arbitrary start; never goes backwards.
    virtual std::int64_t NowMs() const = 0;
    // Sleeps ms milliseconds; 0 gives up the rest of the time slice.
    virtual void SleepMs(int ms) = 0;
};

class SteadyClock final : public Clock {
public:
    std::int64_t NowMs() const override;
    void SleepMs(int ms) override;
};

} // namespace vexa
