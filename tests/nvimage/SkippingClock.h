#pragma once

#include <chrono>
#include <cstdint>
#include <mutex>
#include <vector>

#include "transport/Clock.h"

namespace printdeck::test {

// Real time, except that sleeps are skipped and counted as passed: protocol
// waits cost nothing while replies from a real peer still arrive in time.
class SkippingClock : public IClock {
public:
    std::uint64_t TickCount() override {
        const auto real = std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::steady_clock::now().time_since_epoch());
        std::lock_guard lock(m_mutex);
        return static_cast<std::uint64_t>(real.count()) + m_skipped;
    }
    void Sleep(std::uint32_t milliseconds) override {
        std::lock_guard lock(m_mutex);
        m_skipped += milliseconds;
        m_sleeps.push_back(milliseconds);
    }

    std::vector<std::uint32_t> Sleeps() {
        std::lock_guard lock(m_mutex);
        return m_sleeps;
    }
    void ClearSleeps() {
        std::lock_guard lock(m_mutex);
        m_sleeps.clear();
    }

private:
    std::mutex m_mutex;
    std::uint64_t m_skipped = 0;
    std::vector<std::uint32_t> m_sleeps;
};

}  // namespace printdeck::test
