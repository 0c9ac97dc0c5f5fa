#include "settings_editor/SettingsCycle.h"

#include "app/ConfigStore.h"
#include "app/StringTable.h"
#include "device/PrinterDevice.h"
#include "settings/PrinterSettings.h"

namespace printdeck {

CSettingsCycle::CSettingsCycle(CPrinterSettings& settings, CPrinterDevice& device)
    : m_settings(settings),
      m_device(device),
      m_transfer(&settings),
      m_runner([](CSettingsTransfer& transfer, int mode) { return transfer.Run(mode); }) {}

CycleResult CSettingsCycle::Run(const EditStep& edit) {
    m_settings.LoadFromStore(kProgramKey);
    m_device.ApplyPortSettings();
    m_settings.m_pDevice = &m_device;

    if (!m_runner(m_transfer, ReadFromPrinter)) {
        return Finish(CycleResult::Outcome::ReadFailed, m_transfer.m_strError);
    }
    const EditChoice choice = edit(m_settings);
    if (choice == EditChoice::Cancel) {
        return Finish(CycleResult::Outcome::EditCancelled, {}, false);
    }
    const int mode = choice == EditChoice::Default ? RestoreFactoryDefault : WriteToPrinter;
    if (!m_runner(m_transfer, mode)) {
        // The specific failure is not shown for a write.
        return Finish(CycleResult::Outcome::WriteFailed, LoadString(IDS_FAILED_TO_SAVE_VMSM));
    }
    if (m_bSaveToStore && m_settings.SaveToStore(kProgramKey) == 0) {
        return Finish(CycleResult::Outcome::StoreFailed,
                      "The printer took the settings, but they could not be saved in " +
                          CConfigStore::StoreFilePath() + ".");
    }
    return Finish(CycleResult::Outcome::Saved, LoadString(IDS_VMSM_SET_SUCCESS));
}

CycleResult CSettingsCycle::Finish(CycleResult::Outcome outcome, std::string text,
                                   bool showMessage) {
    m_device.m_Port.Close();
    CycleResult result;
    result.outcome = outcome;
    result.showMessage = showMessage;
    result.text = std::move(text);
    if (showMessage) {
        result.caption = LoadString(IDS_PRINTDECK);
    }
    return result;
}

}  // namespace printdeck
