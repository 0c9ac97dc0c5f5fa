#pragma once

namespace printdeck::cli {

// Exit status of a run that Ctrl-C stopped.
inline constexpr int kExitInterrupted = 130;

// Ctrl-C while printdeck-cli runs. While a step machine runs, the first one
// asks it to stop between steps and says so; otherwise, and at the second
// one, the program ends at once. Installed while the object lives; the
// previous handler returns afterwards.
class Interrupts {
public:
    Interrupts();
    ~Interrupts();
    Interrupts(const Interrupts&) = delete;
    Interrupts& operator=(const Interrupts&) = delete;

    // True once Ctrl-C was pressed since the handler was installed.
    static bool Requested();
};

// Marks the time a step machine runs, so that a first Ctrl-C waits for it to
// stop between steps instead of ending the program.
class StepMachineRunning {
public:
    StepMachineRunning();
    ~StepMachineRunning();
    StepMachineRunning(const StepMachineRunning&) = delete;
    StepMachineRunning& operator=(const StepMachineRunning&) = delete;
};

}  // namespace printdeck::cli
