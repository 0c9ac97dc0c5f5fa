#pragma once

#include <cstdint>

namespace printdeck {

// Millisecond tick count and sleep. Every protocol wait goes through one
// clock so that the waits stay real in the product and can be observed in
// tests.
class IClock {
public:
    virtual ~IClock() = default;
    // Milliseconds on a monotonic clock since an arbitrary origin.
    virtual std::uint64_t TickCount() = 0;
    virtual void Sleep(std::uint32_t milliseconds) = 0;
};

// The real clock: steady_clock and sleep_for.
class CSteadyClock : public IClock {
public:
    std::uint64_t TickCount() override;
    void Sleep(std::uint32_t milliseconds) override;
};

// The clock every component uses unless it is given another one.
IClock& SystemClock();

}  // namespace printdeck
