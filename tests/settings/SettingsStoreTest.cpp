#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "RecordFields.h"
#include "app/ConfigStore.h"
#include "device/PrinterDevice.h"
#include "settings/PrinterSettings.h"
#include "support/TempDir.h"

namespace printdeck::test {
namespace {

std::uint32_t StoredNumber(const char* name) {
    std::uint32_t value = 0;
    EXPECT_TRUE(CConfigStore::ReadDwordValue(kProgramKey, name, value)) << name;
    return value;
}

// Fields that a load must overwrite, set to values no default has.
CPrinterSettings Scribbled() {
    CPrinterSettings s;
    for (int* field : {&s.Sentinel,   &s.Density,    &s.Speed,     &s.DataMatrix,      &s.MaxiCode,
                       &s.Pdf417,     &s.QrCode,     &s.CodePage,  &s.Service,         &s.FontType,
                       &s.BeepPaper,  &s.BeepLowBat, &s.LCharMode, &s.BlackMarkSensor, &s.TimeOff,
                       &s.TimeSave,   &s.Msr,        &s.Baudrate,  &s.Databit,         &s.Parity,
                       &s.Flowcontrol}) {
        *field = 77;
    }
    return s;
}

TEST(SettingsStoreTest, EmptyStoreGivesTheLoadDefaults) {
    IsolatedFiles files;
    CPrinterSettings s = Scribbled();
    EXPECT_EQ(s.LoadFromStore(kProgramKey), 1);
    auto fields = RecordFields(s);
    const std::map<std::string, std::string> nonZero{{"Density", "4"},       {"Pdf417", "1"},
                                                     {"QrCode", "1"},        {"Msr", "6"},
                                                     {"Baudrate", "115200"}, {"Databit", "8"}};
    for (const auto& [name, value] : nonZero) {
        EXPECT_EQ(fields[name], value) << name;
    }
    for (const char* name : {"Sentinel", "Speed", "DataMatrix", "MaxiCode", "CodePage", "Service",
                             "FontType", "BeepPaper", "BeepLowBat", "LCharMode", "BlackMarkSensor",
                             "TimeOff", "TimeSave", "Parity", "Flowcontrol"}) {
        EXPECT_EQ(fields[name], "0") << name;
    }
}

TEST(SettingsStoreTest, SaveThenLoadRoundTripsEveryStoredNumber) {
    IsolatedFiles files;
    CPrinterSettings saved;
    saved.Density = 7;
    saved.CodePage = 45;
    saved.LCharMode = 1;
    saved.BlackMarkSensor = 0x3031;
    saved.TimeSave = 200;
    saved.Msr = 3;
    saved.Baudrate = 9600;
    saved.Sentinel = 2;
    saved.Parity = 2;
    saved.SaveToStore(kProgramKey);

    CPrinterSettings loaded = Scribbled();
    loaded.m_strTrack1Start = "%";
    loaded.m_strBtName = "name";
    loaded.m_bBluetoothOff = 1;
    loaded.m_nRfInterface = 2;
    loaded.LoadFromStore(kProgramKey);

    // The texts, Bluetooth fields and RF selection are not stored: loading keeps them.
    saved.m_strTrack1Start = "%";
    saved.m_strBtName = "name";
    saved.m_bBluetoothOff = 1;
    saved.m_nRfInterface = 2;
    EXPECT_EQ(RecordFields(loaded), RecordFields(saved));
}

TEST(SettingsStoreTest, CharacterModeIsSavedAsCharModeAndLoadedFromLCharModeFirst) {
    IsolatedFiles files;
    CPrinterSettings s;
    s.LCharMode = 1;
    s.SaveToStore(kProgramKey);
    EXPECT_EQ(StoredNumber("CharMode"), 1u);
    std::uint32_t unused = 0;
    EXPECT_FALSE(CConfigStore::ReadDwordValue(kProgramKey, "LCharMode", unused));

    CPrinterSettings loaded;
    loaded.LoadFromStore(kProgramKey);
    EXPECT_EQ(loaded.LCharMode, 1) << "a saved character mode must come back";

    CConfigStore::WriteDwordValue(kProgramKey, "LCharMode", 0);
    loaded.LoadFromStore(kProgramKey);
    EXPECT_EQ(loaded.LCharMode, 0) << "LCharMode takes precedence";
}

TEST(SettingsStoreTest, SaveWritesFirmwareTextAndCardReaderByteForOutsideReaders) {
    IsolatedFiles files;
    CPrinterDevice device;
    device.m_strVersion = "VER V1.23";
    device.m_nMsrSetting = '9';
    CPrinterSettings s;
    s.m_pDevice = &device;
    EXPECT_EQ(s.SaveToStore(kProgramKey), 1);
    std::string version;
    EXPECT_TRUE(CConfigStore::ReadStringValue(kProgramKey, "Fwver", version));
    EXPECT_EQ(version, "VER V1.23");
    EXPECT_EQ(StoredNumber("Msrmode"), 0x39u);

    CConfigStore::WriteDwordValue(kProgramKey, "Msrmode", 1);
    const auto before = RecordFields(s);
    s.LoadFromStore(kProgramKey);
    EXPECT_EQ(RecordFields(s), before);
}

TEST(SettingsStoreTest, StoredValuesAreTakenUncheckedAndWrongKindsFallBack) {
    IsolatedFiles files;
    CConfigStore::WriteDwordValue(kProgramKey, "BlackMarkSensor", 0xFFFFFFFFu);
    CConfigStore::WriteDwordValue(kProgramKey, "Density", 99);
    CConfigStore::WriteStringValue(kProgramKey, "Msr", "3");
    CPrinterSettings s;
    s.LoadFromStore(kProgramKey);
    EXPECT_EQ(s.BlackMarkSensor, -1);
    EXPECT_EQ(s.Density, 99);
    EXPECT_EQ(s.Msr, 6);
}

}  // namespace
}  // namespace printdeck::test
