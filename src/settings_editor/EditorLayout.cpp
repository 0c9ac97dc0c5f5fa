#include "settings_editor/EditorLayout.h"

#include "app/StringTable.h"
#include "device/PrinterDevice.h"
#include "settings/PrinterSettings.h"
#include "settings/SettingsProtocol.h"
#include "settings_editor/EditorChoices.h"

namespace printdeck {

EditorLayout EditorLayoutFor(const CPrinterSettings& record) {
    const CPrinterDevice& device = *record.m_pDevice;
    const int version = device.g_Getver;
    EditorLayout layout;
    layout.title = LoadString(IDS_VMSM_TITLE) + " : (fw:" + device.m_strVersion + ")";
    for (int position = 0; position < kDensityEntries; ++position) {
        layout.density.push_back(DensityEntry(position));
    }
    layout.speed = SpeedEntries(device);
    layout.codePage = CodePageEntries(version);
    layout.msrTrigger = MsrTriggerEntries(device);
    for (int rate : kBaudRates) {
        layout.baudRate.push_back(std::to_string(rate));
    }
    layout.dataBits = {"7", "8"};
    layout.parity = {LoadString(IDS_NONE), "Odd", "Even"};
    layout.flowControl = {"DTR/DSR", "Xon/Xoff"};
    layout.rfInterface = RfInterfaceEntries();

    layout.msrTriggerEnabled = !MsrTriggerFixed(device);
    layout.advanceEnabled = OffersSentinels(device);
    layout.blackMarkEnabled = OffersBlackMarkSensor(record);
    layout.rfInterfaceEnabled = OffersRfInterface(version);
    layout.barcodesEnabled = Offers2dBarcodes(version);
    layout.firstFontShown = version >= settings::kNewFirmwareVersion;
    if (!layout.firstFontShown) {
        const std::vector<std::string> fonts = FontEntries(version);
        layout.secondFontLabel = fonts[0];
        layout.thirdFontLabel = fonts[1];
    }
    return layout;
}

}  // namespace printdeck
