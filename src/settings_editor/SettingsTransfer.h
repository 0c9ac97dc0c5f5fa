#pragma once

#include <atomic>
#include <functional>
#include <string>

#include "app/StepChain.h"

namespace printdeck {

class CPrinterSettings;
class IClock;

// What a transfer run does with the printer.
enum TransferMode : int {
    TransferNone = 0,  // closes at once as cancelled
    ReadFromPrinter = 1,
    WriteToPrinter = 2,
    RestoreFactoryDefault = 3,  // also every value other than 0, 1 and 2
};

// Step identifiers; each names one timer event of the progress window.
enum TransferStep : int {
    StepReadMsw = 101,
    StepWriteMsw = 102,
    StepReadSw = 201,
    StepWriteSw = 202,
    StepOpenForRead = 1000,
    StepOpenForWrite = 2000,
    StepFactoryDefault = 3000,
    StepFinish = 9999,
};

// Pauses between steps, in milliseconds.
inline constexpr int kStepDelayMs = 100;
inline constexpr int kFinishAfterWriteDelayMs = 1000;

using TransferOutcome = StepOutcome;

// The settings transfer run of the progress window without the window: a
// step machine that reads the whole configuration from the printer, writes
// it, or restores the factory defaults. A driver (the window's single-shot
// timers, or Run) calls Start, then RunStep for each step it is told, after
// the delay it is told. Each step performs its printer operations in order,
// blocking, and reports progress point by point through the callback.
// Cancel is honoured between steps only. All pauses use the device's clock.
class CSettingsTransfer {
public:
    // percent 1..100 and the text line ("Get status : 5 %").
    using ProgressCallback = std::function<void(int percent, const std::string& text)>;

    explicit CSettingsTransfer(CPrinterSettings* settings = nullptr) : m_pSettings(settings) {}
    virtual ~CSettingsTransfer() = default;

    void SetProgressCallback(ProgressCallback callback) { m_progress = std::move(callback); }

    // Begins a run in `mode`: Cancelled for mode 0; otherwise resets the
    // percentage and the cancel request and names the connecting step.
    TransferOutcome Start(int mode);
    // Runs one step; Cancelled without running it when a cancel is pending.
    TransferOutcome RunStep(int step);
    // Asks the run to stop before its next step. Safe from a signal handler
    // or another thread.
    void RequestCancel() { m_bCancelRequested = true; }

    // Runs a whole mode with the real pauses between steps; true when the
    // run was accepted.
    bool Run(int mode);

    // Adds up to `steps` points, stopping at 100, each shown with the label
    // and followed by a 2 ms pause (AdvanceProgressSlow: delayMs).
    void AdvanceProgress(int steps, const std::string& label);
    void AdvanceProgressSlow(int steps, const std::string& label, int delayMs);

    int m_nPercent = 0;
    std::string m_strError;
    int m_nMode = TransferNone;
    CPrinterSettings* m_pSettings;
    std::string m_strPercent;

private:
    struct Group;

    TransferOutcome OpenForRead();
    TransferOutcome OpenForWrite();
    TransferOutcome FactoryDefault();
    TransferOutcome RunGroup(const Group& group);
    TransferOutcome Finish();
    // Opens the device's port unless it is open; false after reporting the failure.
    bool EnsurePortOpen();
    // Runs one operation's result through the failure handling.
    bool Succeeded(int result, int failureMessage);
    // Writes the Bluetooth settings when the editor enabled them.
    bool WriteBluetoothIfEnabled(const std::string& label);
    // Writes earn no reply, so a printer that hung up part-way would go
    // unnoticed: its answer to one last question shows that it took every
    // byte sent before.
    bool PrinterTookEverything(int failureMessage);
    TransferOutcome Fail(int failureMessage);
    void ShowPoint(const std::string& text);
    IClock& Clock() const;

    ProgressCallback m_progress;
    std::atomic<bool> m_bCancelRequested = false;
};

}  // namespace printdeck
