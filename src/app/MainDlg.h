#pragma once

#include <QDialog>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/CommSettings.h"
#include "app/PortDiscovery.h"
#include "device/PrinterDevice.h"
#include "nvimage/NvImageList.h"
#include "settings/PrinterSettings.h"

namespace Ui {
class CMainDlg;
}

namespace printdeck {

class IPrompter;

// The connections of this machine the window offers; tests give made-up ones.
struct PortFinder {
    std::function<std::vector<DiscoveredPort>()> serialPorts = [] { return DiscoverSerialPorts(); };
    std::function<std::vector<DiscoveredPort>()> usbPrinters = [] { return DiscoverUsbPrinters(); };
};

// The program's main window: the connection choice, remembered in the store,
// and the buttons that start the three managers. It owns the printer object,
// the settings record and the NV image list for the whole run, and never
// opens the port itself.
class CMainDlg : public QDialog {
    Q_OBJECT

public:
    explicit CMainDlg(IPrompter& prompter, PortFinder finder = {}, QWidget* parent = nullptr);
    ~CMainDlg() override;

    // The settings as the controls show them; nothing (after telling the
    // user) when a typed field holds no valid value.
    std::optional<CommSettings> ReadBackSettings();

    CPrinterDevice& Printer() { return m_Printer; }
    CPrinterSettings& Settings() { return m_Settings; }
    CNvImageList& NvImages() { return m_NvImages; }

public slots:
    // "Exit": stores the settings, then closes.
    void accept() override;

protected:
    // The close box closes the port and keeps the stored settings.
    void closeEvent(QCloseEvent* event) override;

private slots:
    void OnInterfaceChanged();
    void OnSettingsManager();
    void OnNvImageManager();
    void OnFirmwareManager();
    void OnAbout();

private:
    void ConnectSignals();
    void AddAboutAction();
    void SetUpFieldValidators();
    // Rebuilds the controls for the selected interface.
    void RunInterfaceChange();
    void ShowSerialControls();
    // False when no USB printer was found.
    bool ShowUsbControls();
    void ShowNetworkControls();
    // The baud, data-bits, parity, stop-bits and flow-control lists with
    // their defaults selected.
    void FillLineLists();
    void SetLineListsEnabled(bool baud, bool line);
    void FillSerialPortList();
    void RestoreChoice(const CommSettings& stored);
    // Reads the controls back and hands them to the printer object.
    bool HandSettingsToPrinter();
    int SelectedInterface() const;

    std::unique_ptr<Ui::CMainDlg> m_ui;
    IPrompter& m_prompter;
    PortFinder m_finder;
    std::vector<std::string> m_UsbPathList;
    CPrinterDevice m_Printer;
    CPrinterSettings m_Settings;
    CNvImageList m_NvImages;
    CommSettings m_comm;
};

}  // namespace printdeck
