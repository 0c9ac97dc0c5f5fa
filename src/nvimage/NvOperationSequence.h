#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "app/StepChain.h"

namespace printdeck {

class CNvImageList;
class CNvDownloadRecord;
class IClock;

// Operations a caller asks for, and the further steps they run through; each
// names one timer event of the progress window.
enum NvStep : int {
    NvStepStart = 1,          // open the port, identify the printer once
    NvReadAddresses = 1000,   // also used when the manager opens
    NvDeleteSelected = 1001,  // key-code family only
    NvDeleteAll = 1002,
    NvStartDownload = 1003,
    NvPrintAll = 1004,
    NvPrintSelected = 1005,
    NvStepSendRecord = 2000,  // once per record, and once more to finish
    NvStepFinish = 9999,
};

// Caption of the progress label before any step names its work.
inline constexpr const char* kNvProgressInitialLabel = "Progressing...";
// Pause before a step unless the previous one asks for another.
inline constexpr int kNvStepDelayMs = 100;

using NvStepOutcome = StepOutcome;

// One exchange of the NV image manager with the printer, without the window:
// a step machine that a driver (the window's single-shot timers, or Run)
// starts, then runs step by step after the delay each step asks for. Each
// step performs its printer operations blocking, advances the progress point
// by point through the callback, and at the first failure stores the message
// for the caller to show. Cancel is honoured between steps only, and during
// an indexed download only once its last record is sent. All pauses use the
// printer object's clock.
class CNvOperationSequence {
public:
    // percent 0..100 as a progress bar shows it, and the label above it.
    using ProgressCallback = std::function<void(int percent, const std::string& label)>;

    CNvOperationSequence(CNvImageList& list, int operation);
    virtual ~CNvOperationSequence() = default;

    void SetProgressCallback(ProgressCallback callback) { m_progress = std::move(callback); }

    // Resets progress, label, result text and cancel request; names the
    // first step.
    NvStepOutcome Start();
    // Runs one step; Cancelled without running it when a cancel is pending.
    NvStepOutcome RunStep(int step);
    // Asks the run to stop before its next step. Safe from a signal handler
    // or another thread.
    void RequestCancel() { m_bCancelRequested = true; }

    // Runs the whole operation with the real pauses between steps; true when
    // it succeeded, otherwise m_strResult says why.
    bool Run();

    // Inputs, set by the caller before Start.
    CNvImageList* m_pList;
    int m_nOperation;
    std::string m_strAddress;  // print or delete selected, key-code family
    int m_nIndex = 0;          // print selected, indexed family
    // The records of a download in sending order; the caller keeps them alive.
    std::vector<const CNvDownloadRecord*> m_Records;

    // State of the run.
    std::uint32_t m_nTotalBytes = 0;
    std::size_t m_nNextRecord = 0;
    std::size_t m_nRecordsSent = 0;  // records written completely
    int m_nRecordDelay = 0;          // ms between two records
    int m_nProgress = 0;             // may pass 100; the bar stops there
    std::string m_strLabel;
    std::string m_strResult;  // message for the caller after a failure or cancel

    // Progress points that a record of `bytes` out of `totalBytes` earns.
    static int RecordAdvance(std::uint32_t bytes, std::uint32_t totalBytes);

private:
    NvStepOutcome OpenAndIdentify();
    NvStepOutcome ReadAddresses();
    NvStepOutcome DeleteSelected();
    NvStepOutcome DeleteAll();
    NvStepOutcome StartDownload();
    NvStepOutcome SendNextRecord();
    NvStepOutcome PrintAll();
    NvStepOutcome PrintSelected();
    NvStepOutcome Finish();

    // Outcome for a printer operation's result: Continue as given on
    // success, Failed with the write-failure message otherwise.
    NvStepOutcome AfterWrite(int result, const NvStepOutcome& next);
    NvStepOutcome Fail(int messageId);
    NvStepOutcome Fail(const std::string& message);
    bool InIndexedDownload() const;
    static constexpr int kPointPauseMs = 2;
    // n points, each shown and followed by a pause of delayMs.
    void Advance(int points, int delayMs = kPointPauseMs);
    // Shows the label first.
    void Advance(const std::string& label, int points, int delayMs);
    void SetLabel(const std::string& label);
    IClock& Clock() const;

    ProgressCallback m_progress;
    std::atomic<bool> m_bCancelRequested = false;
    bool m_bIndexedHeaderSent = false;
};

}  // namespace printdeck
