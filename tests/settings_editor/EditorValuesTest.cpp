#include "settings_editor/EditorValues.h"

#include <gtest/gtest.h>

#include "device/PrinterDevice.h"
#include "settings/PrinterSettings.h"
#include "settings_editor/EditorLayout.h"

namespace printdeck {
namespace {

// A record as the read run leaves it, for one printer.
struct Opened {
    explicit Opened(int version, int model = MODEL_T300, std::uint8_t msr = '0') {
        device.g_Getver = version;
        device.g_Model = model;
        device.m_nMsrSetting = msr;
        device.m_strModelName = "MRQ-T300";
        device.m_strVersion = "V01.05";
        device.m_strCodePage = "(KOREA C-5601)";
        record.m_pDevice = &device;
    }
    // Load, then "Save" (or "Default") with nothing changed.
    CPrinterSettings SavedUnchanged(bool listsRead = true) {
        CPrinterSettings stored = record;
        CEditorValues::Load(record).Store(stored, listsRead);
        return stored;
    }

    CPrinterDevice device;
    CPrinterSettings record;
};

TEST(EditorValuesTest, LoadShowsAndSaveStoresByTheMappingTable) {
    const struct {
        const char* name;
        int version;
        int CPrinterSettings::*field;
        int recordValue;
        int CEditorValues::*control;
        int shown;
        int stored;
    } cases[] = {
        {"density 4 is 100%, new", 1040, &CPrinterSettings::Density, 4, &CEditorValues::m_nDensity,
         5, 4},
        {"density below 1040 stores the position", 1039, &CPrinterSettings::Density, 4,
         &CEditorValues::m_nDensity, 5, 5},
        {"density 3 is 150%", 1040, &CPrinterSettings::Density, 3, &CEditorValues::m_nDensity, 0,
         3},
        {"baud rate in the list", 21000, &CPrinterSettings::Baudrate, 2400,
         &CEditorValues::m_nBaudRate, 0, 2400},
        {"baud rate not in the list", 21000, &CPrinterSettings::Baudrate, 14400,
         &CEditorValues::m_nBaudRate, 3, 19200},
        {"parity odd", 21000, &CPrinterSettings::Parity, 1, &CEditorValues::m_nParity, 1, 1},
        {"parity above 1", 21000, &CPrinterSettings::Parity, 7, &CEditorValues::m_nParity, 2, 2},
        {"parity below 0", 21000, &CPrinterSettings::Parity, -1, &CEditorValues::m_nParity, 2, 2},
        {"data bits 7", 21000, &CPrinterSettings::Databit, 7, &CEditorValues::m_nDataBits, 0, 7},
        {"data bits other", 21000, &CPrinterSettings::Databit, 5, &CEditorValues::m_nDataBits, 1,
         8},
        {"font A new", 101000, &CPrinterSettings::FontType, 0, &CEditorValues::m_nFont, 0, 0},
        {"font C new", 101000, &CPrinterSettings::FontType, 2, &CEditorValues::m_nFont, 2, 2},
        {"font shifted old", 100999, &CPrinterSettings::FontType, 0, &CEditorValues::m_nFont, 1, 0},
        {"font B old", 100999, &CPrinterSettings::FontType, 1, &CEditorValues::m_nFont, 2, 1},
        {"black mark front", 101000, &CPrinterSettings::BlackMarkSensor, 0x3130,
         &CEditorValues::m_nBlackMark, 0, 0x3130},
        {"black mark rear", 101000, &CPrinterSettings::BlackMarkSensor, 0x3031,
         &CEditorValues::m_nBlackMark, 1, 0x3031},
        {"black mark none", 101000, &CPrinterSettings::BlackMarkSensor, 0,
         &CEditorValues::m_nBlackMark, kNoSelection, -1},
        {"black mark both zero", 101000, &CPrinterSettings::BlackMarkSensor, 0x3030,
         &CEditorValues::m_nBlackMark, kNoSelection, -1},
        {"rf from new firmware", 101000, &CPrinterSettings::m_nRfInterface, 2,
         &CEditorValues::m_nRfInterface, 2, 2},
        {"rf left alone before", 100999, &CPrinterSettings::m_nRfInterface, 2,
         &CEditorValues::m_nRfInterface, kNoSelection, 2},
        // Values no list entry shows keep their field rather than store -1.
        {"code page beyond the list", 21000, &CPrinterSettings::CodePage, 40,
         &CEditorValues::m_nCodePage, kNoSelection, 40},
        {"trigger beyond the list", 21000, &CPrinterSettings::Msr, 12,
         &CEditorValues::m_nMsrTrigger, kNoSelection, 12},
        {"font beyond the radios", 100999, &CPrinterSettings::FontType, 2, &CEditorValues::m_nFont,
         kNoSelection, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Opened printer(c.version);
        printer.record.*c.field = c.recordValue;
        EXPECT_EQ(CEditorValues::Load(printer.record).*c.control, c.shown);
        EXPECT_EQ(printer.SavedUnchanged().*c.field, c.stored);
    }
}

TEST(EditorValuesTest, FixedCardReadersStoreTriggerZero) {
    const struct {
        std::uint8_t msr;
        int version;
    } cases[] = {{'P', 21021}, {'`', 21021}, {'9', 11060}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.msr);
        Opened printer(c.version, MODEL_T200, c.msr);
        printer.record.Msr = 6;
        const EditorLayout layout = EditorLayoutFor(printer.record);
        ASSERT_EQ(layout.msrTrigger.size(), 1u);
        EXPECT_FALSE(layout.msrTriggerEnabled);
        EXPECT_EQ(printer.SavedUnchanged().Msr, 0);
        // "Default" does not read the list.
        EXPECT_EQ(printer.SavedUnchanged(false).Msr, 6);
    }
}

TEST(EditorValuesTest, SentinelModeIsForcedToNoneWithoutTheAdvanceWindow) {
    const struct {
        int version;
        std::uint8_t msr;
        bool advance;
        int stored;
    } cases[] = {
        {21020, '0', false, 0},
        {21021, '0', true, 2},
        {21021, '`', false, 0},
        {101000, '9', true, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.version);
        Opened printer(c.version, MODEL_T200, c.msr);
        printer.record.Sentinel = 2;
        printer.record.m_strTrack1Start = "%";
        EXPECT_EQ(EditorLayoutFor(printer.record).advanceEnabled, c.advance);
        const CPrinterSettings stored = printer.SavedUnchanged();
        EXPECT_EQ(stored.Sentinel, c.stored);
        EXPECT_EQ(stored.m_strTrack1Start, "%");
    }
}

TEST(EditorValuesTest, BluetoothFieldsAreStoredOnlyWhenEnabled) {
    Opened old(100999);
    old.record.m_nBtSecurity = 0;
    old.record.m_nBtConnMode = 2;
    old.record.m_strBtPin = "1111";
    old.record.m_strBtName = "stored";
    CEditorValues values = CEditorValues::Load(old.record);
    // Old firmware does not report them: Enable, Mode 2, the default PIN, the model.
    EXPECT_EQ(values.m_nBtSecurity, 1);
    EXPECT_EQ(values.m_nBtConnMode, 1);
    EXPECT_EQ(values.m_strBtPin, "4826");
    EXPECT_EQ(values.m_strBtName, "MRQ-T300");
    EXPECT_TRUE(values.m_bBluetoothOff);

    CPrinterSettings untouched = old.record;
    values.Store(untouched, true);
    EXPECT_EQ(untouched.m_bBluetoothOff, 1);
    EXPECT_EQ(untouched.m_strBtPin, "1111");
    EXPECT_EQ(untouched.m_nBtConnMode, 2);

    values.ToggleBluetooth();
    values.m_strBtPin = "0000";
    CPrinterSettings enabled = old.record;
    values.Store(enabled, true);
    EXPECT_EQ(enabled.m_bBluetoothOff, 0);
    EXPECT_EQ(enabled.m_strBtPin, "0000");
    EXPECT_EQ(enabled.m_nBtSecurity, 1);
    EXPECT_EQ(enabled.m_strBtName, "MRQ-T300");

    Opened current(101000);
    current.record.m_strBtPin = "1111";
    current.record.m_nBtConnMode = 2;
    const CEditorValues reported = CEditorValues::Load(current.record);
    EXPECT_EQ(reported.m_strBtPin, "1111");
    EXPECT_EQ(reported.m_nBtConnMode, 2);
}

TEST(EditorValuesTest, DefaultKeepsTheListFieldsAndTakesTheRest) {
    Opened printer(101000);
    printer.record.Density = 4;
    printer.record.Baudrate = 14400;
    printer.record.BeepPaper = 0;
    CEditorValues values = CEditorValues::Load(printer.record);
    values.m_nDensity = 0;
    values.m_nBaudRate = 0;
    values.m_nBeepPaper = 1;
    values.m_nTimeOff = 30;

    CPrinterSettings stored = printer.record;
    values.Store(stored, false);
    EXPECT_EQ(stored.Density, 4);
    EXPECT_EQ(stored.Baudrate, 14400);
    EXPECT_EQ(stored.BeepPaper, 1);
    EXPECT_EQ(stored.TimeOff, 30);
}

TEST(EditorValuesTest, OnlyTheButtonThatClosesTheWindowChoosesTheFactoryDefaults) {
    Opened printer(101000);
    printer.record.TimeOff = 91;
    CEditorValues values = CEditorValues::Load(printer.record);
    EXPECT_FALSE(values.m_bFactoryDefault);

    EXPECT_EQ(values.Accept(true), std::nullopt);
    EXPECT_FALSE(values.m_bFactoryDefault);
    EXPECT_EQ(values.Accept(false), std::nullopt);

    values.m_nTimeOff = 90;
    EXPECT_EQ(values.Accept(false), EditChoice::Save);
    EXPECT_FALSE(values.m_bFactoryDefault);
    EXPECT_EQ(values.Accept(true), EditChoice::Default);
    EXPECT_TRUE(values.m_bFactoryDefault);
}

TEST(EditorValuesTest, RefusalsNameTheFieldAndTheLimit) {
    Opened printer(101000);
    const struct {
        const char* name;
        void (*change)(CEditorValues&);
        const char* field;
        const char* message;
    } cases[] = {
        {"time off 91", [](CEditorValues& v) { v.m_nTimeOff = 91; }, "TimeOff",
         "Please enter an integer between 0 and 90."},
        {"time save 256", [](CEditorValues& v) { v.m_nTimeSave = 256; }, "TimeSave",
         "Please enter an integer between 0 and 255."},
        {"long pin, Bluetooth on",
         [](CEditorValues& v) {
             v.ToggleBluetooth();
             v.m_strBtPin = "1234567890123";
         },
         "BtPin", "Enter no more than 12 characters."},
        {"long name, Bluetooth on",
         [](CEditorValues& v) {
             v.ToggleBluetooth();
             v.m_strBtName = std::string(31, 'n');
         },
         "BtName", "Enter no more than 30 characters."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CEditorValues values = CEditorValues::Load(printer.record);
        c.change(values);
        const auto refusal = values.FirstRefusal();
        ASSERT_TRUE(refusal);
        EXPECT_EQ(refusal->field, c.field);
        EXPECT_EQ(DescribeProblem(refusal->problem), c.message);
    }
    CEditorValues offline = CEditorValues::Load(printer.record);
    offline.m_strBtName = std::string(31, 'n');
    EXPECT_FALSE(offline.FirstRefusal()) << "a name that is not written is not checked";
}

TEST(EditorValuesTest, TimeFieldsTakeUnsignedNumbersUpToTheirLimit) {
    const struct {
        const char* text;
        FieldProblem::Kind kind;
        int value;
    } cases[] = {
        {"0", FieldProblem::Kind::None, 0},
        {"90", FieldProblem::Kind::None, 90},
        {"91", FieldProblem::Kind::OutOfRange, -1},
        {"99999999999999", FieldProblem::Kind::OutOfRange, -1},
        {"", FieldProblem::Kind::NotANumber, -1},
        {"-1", FieldProblem::Kind::NotANumber, -1},
        {"3a", FieldProblem::Kind::NotANumber, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        int value = -1;
        EXPECT_EQ(ParseUnsignedField(c.text, 90, value).kind, c.kind);
        EXPECT_EQ(value, c.value);
    }
}

TEST(EditorValuesTest, WarnsWhenASecondBarcodeIsCheckedOnly) {
    Opened printer(100999);
    printer.record.Pdf417 = 1;
    printer.record.QrCode = 0;
    CEditorValues values = CEditorValues::Load(printer.record);
    ASSERT_EQ(values.m_n2dBarcodeCount, 1);
    EXPECT_TRUE(values.Toggle2dBarcode(Barcode::QrCode));
    EXPECT_FALSE(values.Toggle2dBarcode(Barcode::MaxiCode));
    // Unchecking does not recount, so going back to two warns no more.
    EXPECT_FALSE(values.Toggle2dBarcode(Barcode::MaxiCode));
    EXPECT_FALSE(values.Toggle2dBarcode(Barcode::MaxiCode));
    EXPECT_EQ(values.m_n2dBarcodeCount, 3);

    printer.record.Pdf417 = 0;
    CEditorValues none = CEditorValues::Load(printer.record);
    EXPECT_FALSE(none.Toggle2dBarcode(Barcode::Pdf417));
    EXPECT_TRUE(none.Toggle2dBarcode(Barcode::DataMatrix));
}

TEST(EditorLayoutTest, AdaptsAtTheFirmwareThresholds) {
    Opened old(100999, MODEL_T300);
    old.record.BlackMarkSensor = 0x3130;
    const EditorLayout before = EditorLayoutFor(old.record);
    EXPECT_EQ(before.speed, (std::vector<std::string>{"80mm/s", "50mm/s"}));
    ASSERT_EQ(before.codePage.size(), 31u);
    EXPECT_EQ(before.codePage[30], "WPC1258 - Vietnamese");
    EXPECT_FALSE(before.rfInterfaceEnabled);
    EXPECT_FALSE(before.blackMarkEnabled);
    EXPECT_FALSE(before.firstFontShown);
    EXPECT_EQ(before.secondFontLabel, "A font(12x24)");
    EXPECT_EQ(before.thirdFontLabel, "B font(9x24)");
    EXPECT_TRUE(before.barcodesEnabled);
    EXPECT_EQ(before.title, "Virtual Memory Switch Manager : (fw:V01.05)");

    Opened current(101000, MODEL_T300);
    current.record.BlackMarkSensor = 0x3130;
    const EditorLayout after = EditorLayoutFor(current.record);
    EXPECT_EQ(after.speed, (std::vector<std::string>{"100mm/s", "50mm/s"}));
    EXPECT_EQ(after.codePage.size(), 37u);
    EXPECT_TRUE(after.rfInterfaceEnabled);
    EXPECT_TRUE(after.blackMarkEnabled);
    EXPECT_TRUE(after.firstFontShown);
    EXPECT_EQ(after.secondFontLabel, "");
    EXPECT_FALSE(after.barcodesEnabled);
    EXPECT_EQ(after.density[5], "print density 100%");
    EXPECT_EQ(after.parity, (std::vector<std::string>{"None", "Odd", "Even"}));

    // No position reported: Front and Rear stay disabled.
    current.record.BlackMarkSensor = 0;
    EXPECT_FALSE(EditorLayoutFor(current.record).blackMarkEnabled);
}

}  // namespace
}  // namespace printdeck
