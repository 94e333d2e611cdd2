#pragma once

#include "platform/Clock.h"

namespace vexa::test {

// Time that moves only when someone waits: sleeps and empty reads.
class VirtualClock final : public Clock {
public:
    std::int64_t NowMs() const override { return now_; }
    void SleepMs(int ms) override { now_ += ms > 0 ? ms : 0; }
    void Advance(std::int64_t ms) { now_ += ms; }
    void AdvanceTo(std::int64_t t)
    {
        if (t > now_)
            now_ = t;
    }

private:
    std::int64_t now_ = 1'000'000;
};

} // namespace vexa::test
