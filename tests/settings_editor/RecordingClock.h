#pragma once

#include <cstdint>
#include <limits>
#include <vector>

#include "transport/Clock.h"

namespace printdeck::test {

// The real clock, with every Sleep recorded. Sleeps of at least
// `fastForwardFromMs` are not waited for but added to the tick count, so
// long progress pauses and step delays cost no time while every deadline
// computed from TickCount still sees them pass.
class RecordingClock : public IClock {
public:
    explicit RecordingClock(
        std::uint32_t fastForwardFromMs = std::numeric_limits<std::uint32_t>::max())
        : m_fastForwardFromMs(fastForwardFromMs) {}

    std::uint64_t TickCount() override { return SystemClock().TickCount() + m_skippedMs; }
    void Sleep(std::uint32_t milliseconds) override {
        m_sleeps.push_back(milliseconds);
        if (milliseconds >= m_fastForwardFromMs) {
            m_skippedMs += milliseconds;
        } else {
            SystemClock().Sleep(milliseconds);
        }
    }

    const std::vector<std::uint32_t>& Sleeps() const { return m_sleeps; }
    void ClearSleeps() { m_sleeps.clear(); }

private:
    std::uint32_t m_fastForwardFromMs;
    std::uint64_t m_skippedMs = 0;
    std::vector<std::uint32_t> m_sleeps;
};

}  // namespace printdeck::test
