#include "settings/PrinterSettings.h"

#include <cstdint>

#include "app/ConfigStore.h"
#include "device/PrinterDevice.h"

namespace printdeck {
namespace {

struct StoredNumber {
    const char* name;
    int CPrinterSettings::*field;
    int loadDefault;
};

// The stored numbers in store order, around the character mode, which is
// saved as "CharMode" and loaded from "LCharMode" first.
constexpr StoredNumber kHead[] = {
    {"Density", &CPrinterSettings::Density, 4},
    {"Speed", &CPrinterSettings::Speed, 0},
    {"DataMatrix", &CPrinterSettings::DataMatrix, 0},
    {"MaxiCode", &CPrinterSettings::MaxiCode, 0},
    {"Pdf417", &CPrinterSettings::Pdf417, 1},
    {"QrCode", &CPrinterSettings::QrCode, 1},
    {"CodePage", &CPrinterSettings::CodePage, 0},
    {"Service", &CPrinterSettings::Service, 0},
    {"FontType", &CPrinterSettings::FontType, 0},
    {"BeepPaper", &CPrinterSettings::BeepPaper, 0},
    {"BeepLowBat", &CPrinterSettings::BeepLowBat, 0},
};
constexpr StoredNumber kTail[] = {
    {"BlackMarkSensor", &CPrinterSettings::BlackMarkSensor, 0},
    {"TimeOff", &CPrinterSettings::TimeOff, 0},
    {"TimeSave", &CPrinterSettings::TimeSave, 0},
    {"Msr", &CPrinterSettings::Msr, 6},
    {"Baudrate", &CPrinterSettings::Baudrate, 115200},
    {"Databit", &CPrinterSettings::Databit, 8},
    {"Parity", &CPrinterSettings::Parity, 0},
    {"Flowcontrol", &CPrinterSettings::Flowcontrol, 0},
};
constexpr StoredNumber kSentinel{"Sentinel", &CPrinterSettings::Sentinel, 0};
constexpr const char* kCharModeLoadName = "LCharMode";
constexpr const char* kCharModeName = "CharMode";

bool ReadNumber(const std::string& keyPath, const char* name, int& value) {
    std::uint32_t number = 0;
    if (!CConfigStore::ReadDwordValue(keyPath, name, number)) {
        return false;
    }
    value = static_cast<int>(number);
    return true;
}

void Load(const std::string& keyPath, const StoredNumber& row, CPrinterSettings& settings) {
    if (!ReadNumber(keyPath, row.name, settings.*row.field)) {
        settings.*row.field = row.loadDefault;
    }
}

bool Save(const std::string& keyPath, const char* name, int value) {
    return CConfigStore::WriteDwordValue(keyPath, name, static_cast<std::uint32_t>(value));
}

}  // namespace

int CPrinterSettings::LoadFromStore(const std::string& keyPath) {
    // What earlier reads found belongs to the record being replaced.
    m_switchesAsRead.clear();
    m_unreportedSentinels = {};
    for (const StoredNumber& row : kHead) {
        Load(keyPath, row, *this);
    }
    // An explicit "LCharMode" wins; otherwise take back what was saved.
    if (!ReadNumber(keyPath, kCharModeLoadName, LCharMode) &&
        !ReadNumber(keyPath, kCharModeName, LCharMode)) {
        LCharMode = 0;
    }
    for (const StoredNumber& row : kTail) {
        Load(keyPath, row, *this);
    }
    Load(keyPath, kSentinel, *this);
    return 1;
}

int CPrinterSettings::SaveToStore(const std::string& keyPath) {
    bool saved = true;
    for (const StoredNumber& row : kHead) {
        saved = Save(keyPath, row.name, this->*row.field) && saved;
    }
    saved = Save(keyPath, kCharModeName, LCharMode) && saved;
    for (const StoredNumber& row : kTail) {
        saved = Save(keyPath, row.name, this->*row.field) && saved;
    }
    const std::string version = m_pDevice != nullptr ? m_pDevice->m_strVersion : std::string();
    const int msrSetting = m_pDevice != nullptr ? m_pDevice->m_nMsrSetting : 0;
    saved = CConfigStore::WriteStringValue(keyPath, "Fwver", version) && saved;
    saved = Save(keyPath, "Msrmode", msrSetting) && saved;
    saved = Save(keyPath, kSentinel.name, Sentinel) && saved;
    return saved ? 1 : 0;
}

}  // namespace printdeck
