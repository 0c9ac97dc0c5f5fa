#pragma once

#include <functional>
#include <string>

#include "settings_editor/SettingsTransfer.h"

namespace printdeck {

class CPrinterDevice;

// How the user left the settings editor.
enum class EditChoice { Save, Default, Cancel };

// What the settings cycle ended with, and the message the user is to see.
struct CycleResult {
    // StoreFailed: the printer took the settings, the store did not.
    enum class Outcome { Saved, ReadFailed, EditCancelled, WriteFailed, StoreFailed };
    Outcome outcome = Outcome::EditCancelled;
    bool showMessage = false;  // false only when the editor was cancelled
    std::string text;          // empty after the user cancelled the read run
    std::string caption;
};

// The settings manager's cycle: load the record from the store, read the
// printer, let the user edit, write the printer (or restore its factory
// defaults), save the record. The port is closed in every outcome. The
// caller has handed the connection settings to the device beforehand.
class CSettingsCycle {
public:
    // Edits the record after the read run; the window shows the editor here.
    using EditStep = std::function<EditChoice(CPrinterSettings&)>;
    // Runs the transfer in a mode; true when accepted. The window runs its
    // progress dialog here; the default blocks in CSettingsTransfer::Run.
    using TransferRunner = std::function<bool(CSettingsTransfer&, int mode)>;

    CSettingsCycle(CPrinterSettings& settings, CPrinterDevice& device);

    void SetTransferRunner(TransferRunner runner) { m_runner = std::move(runner); }
    // False for a run whose write goes to a stand-in: the record it wrote is
    // then not the printer's, and the store keeps what it held.
    void SetStoreSaving(bool save) { m_bSaveToStore = save; }
    // The one transfer object used for the read and the write run.
    CSettingsTransfer& Transfer() { return m_transfer; }

    CycleResult Run(const EditStep& edit);

private:
    CycleResult Finish(CycleResult::Outcome outcome, std::string text, bool showMessage = true);

    CPrinterSettings& m_settings;
    CPrinterDevice& m_device;
    CSettingsTransfer m_transfer;
    TransferRunner m_runner;
    bool m_bSaveToStore = true;
};

}  // namespace printdeck
