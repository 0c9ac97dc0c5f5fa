#include "Interrupts.h"

#include <signal.h>
#include <unistd.h>

#include <atomic>

namespace printdeck::cli {
namespace {

// Lock-free, so the handler may touch them.
std::atomic<int> g_count{0};
// Step machines running now; a fleet runs one per printer.
std::atomic<int> g_machinesRunning{0};
struct sigaction g_previous {};

void Say(const char* text, std::size_t length) {
    // Nothing sensible is left to do when the terminal takes no more.
    [[maybe_unused]] const ssize_t ignored = ::write(STDERR_FILENO, text, length);
}

void OnInterrupt(int) {
    static constexpr char kStopping[] =
        "\nStopping after the current step; press Ctrl-C again to quit at once.\n";
    static constexpr char kQuitting[] = "\nInterrupted.\n";
    if (g_count.fetch_add(1) > 0 || g_machinesRunning.load() == 0) {
        Say(kQuitting, sizeof kQuitting - 1);
        ::_exit(kExitInterrupted);
    }
    Say(kStopping, sizeof kStopping - 1);
}

}  // namespace

Interrupts::Interrupts() {
    g_count = 0;
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    // Reads and waits that Ctrl-C cuts short go on; the step machine stops
    // at its next step.
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGINT, &action, &g_previous);
}

Interrupts::~Interrupts() {
    ::sigaction(SIGINT, &g_previous, nullptr);
}

bool Interrupts::Requested() {
    return g_count.load() > 0;
}

StepMachineRunning::StepMachineRunning() {
    ++g_machinesRunning;
}

StepMachineRunning::~StepMachineRunning() {
    --g_machinesRunning;
}

}  // namespace printdeck::cli
