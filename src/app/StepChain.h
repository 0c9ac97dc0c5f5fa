#pragma once

#include <cstdint>
#include <functional>

#include "transport/Clock.h"

namespace printdeck {

// How one step of a progress window's step machine (or the start of a run)
// ended. A window runs `nextStep` from a single-shot timer after `delayMs`.
struct StepOutcome {
    enum class Kind {
        Continue,   // run nextStep after delayMs
        Finished,   // the run reached its end
        Failed,     // the machine holds the failure message
        Cancelled,  // invalid start or the user's cancel
        Ignored,    // not a step of this machine; nothing happened
    };
    Kind kind = Kind::Ignored;
    int nextStep = 0;
    int delayMs = 0;

    static StepOutcome Next(int step, int delayMs) { return {Kind::Continue, step, delayMs}; }
    static StepOutcome Of(Kind kind) { return {kind, 0, 0}; }
    bool operator==(const StepOutcome&) const = default;
};

// Drives a step machine to its end with the real pauses between steps, as a
// window's timers would, for callers without an event loop. True when the
// run finished.
inline bool RunStepChain(IClock& clock, StepOutcome outcome,
                         const std::function<StepOutcome(int step)>& runStep) {
    while (outcome.kind == StepOutcome::Kind::Continue) {
        clock.Sleep(static_cast<std::uint32_t>(outcome.delayMs));
        outcome = runStep(outcome.nextStep);
    }
    return outcome.kind == StepOutcome::Kind::Finished;
}

}  // namespace printdeck
