#include "transport/Clock.h"

#include <chrono>
#include <thread>

namespace printdeck {

std::uint64_t CSteadyClock::TickCount() {
    using namespace std::chrono;
    return static_cast<std::uint64_t>(
        duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

void CSteadyClock::Sleep(std::uint32_t milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

IClock& SystemClock() {
    static CSteadyClock clock;
    return clock;
}

}  // namespace printdeck
