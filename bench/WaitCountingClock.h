#pragma once

#include <cstdint>
#include <utility>

#include "transport/Clock.h"

namespace printdeck::bench {

// The real clock, adding up every wait it is asked for: the pauses the
// protocol and the progress windows prescribe.
class WaitCountingClock : public IClock {
public:
    std::uint64_t TickCount() override { return SystemClock().TickCount(); }
    void Sleep(std::uint32_t milliseconds) override {
        m_waitedMs += milliseconds;
        SystemClock().Sleep(milliseconds);
    }
    std::uint64_t TakeWaitedMs() { return std::exchange(m_waitedMs, 0); }

private:
    std::uint64_t m_waitedMs = 0;
};

}  // namespace printdeck::bench
