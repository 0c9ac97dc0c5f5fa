#include "settings_editor/EditorChoices.h"

#include "app/StringTable.h"
#include "device/PrinterDevice.h"
#include "settings/PrinterSettings.h"

namespace printdeck {
namespace {

struct DensityRow {
    const char* suffix;
    int value;
};

constexpr DensityRow kDensityTable[kDensityEntries] = {
    {" 150%", 3}, {" 140%", 5}, {" 130%", 0}, {" 120%", 1},
    {" 110%", 2}, {" 100%", 4}, {" 90%", 6},  {" 80%", 7},
};

constexpr int kCodePageListBase[] = {
    IDS_CODEPAGE_PC437,  IDS_CODEPAGE_KATAKANA, IDS_CODEPAGE_PC850,   IDS_CODEPAGE_PC860,
    IDS_CODEPAGE_PC863,  IDS_CODEPAGE_PC865,    IDS_CODEPAGE_WPC1252, IDS_CODEPAGE_PC866,
    IDS_CODEPAGE_PC852,  IDS_CODEPAGE_PC858,    IDS_CODEPAGE_PC862,   IDS_CODEPAGE_PC864,
    IDS_CODEPAGE_THAI42, IDS_CODEPAGE_WPC1253,  IDS_CODEPAGE_WPC1254, IDS_CODEPAGE_WPC1257,
    IDS_CODEPAGE_FARSI,  IDS_CODEPAGE_WPC1251,  IDS_CODEPAGE_PC737,   IDS_CODEPAGE_PC775,
    IDS_CODEPAGE_THAI14, IDS_CODEPAGE_RESERVED, IDS_CODEPAGE_WPC1255, IDS_CODEPAGE_THAI11,
    IDS_CODEPAGE_THAI18, IDS_CODEPAGE_PC855,    IDS_CODEPAGE_PC857,   IDS_CODEPAGE_PC928,
    IDS_CODEPAGE_THAI16, IDS_CODEPAGE_WPC1256,
};

constexpr int kCodePageListNew[] = {
    IDS_CODEPAGE_KHMER,    IDS_CODEPAGE_RESERVED, IDS_CODEPAGE_RESERVED,
    IDS_CODEPAGE_RESERVED, IDS_CODEPAGE_RESERVED, IDS_CODEPAGE_WPC1250,
};

constexpr int kLongMsrTriggers[] = {
    IDS_MSR_TRACK123_COMMAND, IDS_MSR_TRACK1_AUTO,  IDS_MSR_TRACK2_AUTO,   IDS_MSR_TRACK3_AUTO,
    IDS_MSR_TRACK12_AUTO,     IDS_MSR_TRACK23_AUTO, IDS_MSR_TRACK123_AUTO, IDS_MSR_NOT_USED,
};

// Position 5 repeats the text of position 3, as the printer's short list does.
constexpr int kShortMsrTriggers[] = {
    IDS_MSR_TRACK12_COMMAND, IDS_MSR_TRACK23_COMMAND, IDS_MSR_TRACK1_AUTO,
    IDS_MSR_TRACK2_AUTO,     IDS_MSR_TRACK12_AUTO,    IDS_MSR_TRACK2_AUTO,
    IDS_MSR_TRACK3_AUTO,     IDS_MSR_TRACK23_AUTO,    IDS_MSR_NOT_USED,
};

constexpr int kNewFirmware = 101000;
constexpr std::uint8_t kEncryptedReader = 'P';
constexpr std::uint8_t kIcCardReader = '`';

template <std::size_t N>
void AppendStrings(std::vector<std::string>& list, const int (&ids)[N]) {
    for (int id : ids) {
        list.push_back(LoadString(id));
    }
}

}  // namespace

int DensityPosition(int value) {
    for (int position = 0; position < kDensityEntries; ++position) {
        if (kDensityTable[position].value == value) {
            return position;
        }
    }
    return value;
}

int DensityValue(int position, int version) {
    if (version < 1040 || position < 0 || position >= kDensityEntries) {
        return position;
    }
    return kDensityTable[position].value;
}

std::string DensityEntry(int position) {
    if (position < 0 || position >= kDensityEntries) {
        return {};
    }
    return LoadString(IDS_PRINT_DENSITY) + kDensityTable[position].suffix;
}

std::vector<std::string> SpeedEntries(const CPrinterDevice& device) {
    std::string fast = "100mm/s";
    if (device.g_Getver < kNewFirmware || device.g_Model == MODEL_T400) {
        fast = "80mm/s";
    } else if (device.g_Model == MODEL_T200W || device.g_Model == MODEL_T200II) {
        fast = "90mm/s";
    }
    return {fast, "50mm/s"};
}

std::vector<std::string> CodePageEntries(int version) {
    std::vector<std::string> list;
    AppendStrings(list, kCodePageListBase);
    list.push_back(LoadString(version < 21000 ? IDS_CODEPAGE_RESERVED : IDS_CODEPAGE_WPC1258));
    if (version >= kNewFirmware) {
        AppendStrings(list, kCodePageListNew);
    }
    return list;
}

bool MsrTriggerFixed(const CPrinterDevice& device) {
    return device.m_nMsrSetting == kEncryptedReader || device.m_nMsrSetting == kIcCardReader ||
           device.g_Getver == 11060;
}

std::vector<std::string> MsrTriggerEntries(const CPrinterDevice& device) {
    if (device.m_nMsrSetting == kIcCardReader) {
        return {"IC card mode"};
    }
    if (MsrTriggerFixed(device)) {
        return {"Only Encription MSR"};
    }
    std::vector<std::string> list;
    if (device.m_nMsrSetting >= '9' && device.g_Getver >= 11061) {
        AppendStrings(list, kLongMsrTriggers);
    } else {
        AppendStrings(list, kShortMsrTriggers);
    }
    return list;
}

std::vector<std::string> FontEntries(int version) {
    const std::string font = LoadString(IDS_FONT);
    if (version >= kNewFirmware) {
        return {"A font(12x24)", "B font(9x17)", "C font(9x24)"};
    }
    return {"A " + font + "(12x24)", "B " + font + "(9x24)"};
}

std::vector<std::string> RfInterfaceEntries() {
    return {LoadString(IDS_DISABLE_ALL), LoadString(IDS_BLUETOOTH), LoadString(IDS_WLAN)};
}

int BlackMarkPosition(int value) {
    if (value == kBlackMarkFront) {
        return 0;
    }
    return value == kBlackMarkRear ? 1 : kNoSelection;
}

bool OffersBlackMarkSensor(const CPrinterSettings& record) {
    return record.m_pDevice->g_Getver >= kNewFirmware &&
           BlackMarkPosition(record.BlackMarkSensor) != kNoSelection;
}

bool Offers2dBarcodes(int version) {
    return version < kNewFirmware;
}

bool OffersRfInterface(int version) {
    return version >= kNewFirmware;
}

bool OffersSentinels(const CPrinterDevice& device) {
    return device.g_Getver >= 21021 && device.m_nMsrSetting != kIcCardReader;
}

}  // namespace printdeck
