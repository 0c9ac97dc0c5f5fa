#include "settings_editor/EditorValues.h"

#include <algorithm>
#include <charconv>

#include "device/PrinterDevice.h"
#include "settings/PrinterSettings.h"
#include "settings/SettingsProtocol.h"

namespace printdeck {
namespace {

using settings::kNewFirmwareVersion;

constexpr int kFallbackBaudPosition = 3;  // "19200"
constexpr int kDataBitEntries[] = {7, 8};
constexpr int kRfEntries = 3;
constexpr int kFlowEntries = 2;
constexpr int kParityEntries = 3;

// Position `value` of a list or radio group of `count` entries.
int PositionIn(int value, int count) {
    return value >= 0 && value < count ? value : kNoSelection;
}

int PositionIn(int value, std::size_t count) {
    return PositionIn(value, static_cast<int>(count));
}

// Writes a selected position's value; nothing selected leaves the field.
void StoreSelected(int position, int value, int& field) {
    if (position != kNoSelection) {
        field = value;
    }
}

void StoreSelected(int position, int& field) {
    StoreSelected(position, position, field);
}

bool IsNewFirmware(const CPrinterDevice& device) {
    return device.g_Getver >= kNewFirmwareVersion;
}

// Below 101000 the first font radio is hidden and FontType counts from the second.
int FontShift(const CPrinterDevice& device) {
    return IsNewFirmware(device) ? 0 : 1;
}

int BaudPosition(int baudrate) {
    const auto found = std::find(kBaudRates.begin(), kBaudRates.end(), baudrate);
    return found == kBaudRates.end() ? kFallbackBaudPosition
                                     : static_cast<int>(found - kBaudRates.begin());
}

int MsrTriggerPosition(int msr, const CPrinterDevice& device) {
    if (MsrTriggerFixed(device)) {
        return 0;
    }
    return PositionIn(msr, MsrTriggerEntries(device).size());
}

std::array<int CPrinterSettings::*, 4> BarcodeFields() {
    return {&CPrinterSettings::Pdf417, &CPrinterSettings::DataMatrix, &CPrinterSettings::MaxiCode,
            &CPrinterSettings::QrCode};
}

}  // namespace

FieldProblem ParseUnsignedField(std::string_view text, int maximum, int& value) {
    unsigned number = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (text.empty() || error == std::errc::invalid_argument || end != text.data() + text.size()) {
        return {FieldProblem::Kind::NotANumber, maximum};
    }
    if (error == std::errc::result_out_of_range || number > static_cast<unsigned>(maximum)) {
        return {FieldProblem::Kind::OutOfRange, maximum};
    }
    value = static_cast<int>(number);
    return {};
}

FieldProblem CheckTextLength(std::string_view text, int maximum) {
    if (text.size() > static_cast<std::size_t>(maximum)) {
        return {FieldProblem::Kind::TooLong, maximum};
    }
    return {};
}

std::string DescribeProblem(const FieldProblem& problem) {
    const std::string limit = std::to_string(problem.limit);
    switch (problem.kind) {
        case FieldProblem::Kind::NotANumber:
            return "Please enter an integer.";
        case FieldProblem::Kind::OutOfRange:
            return "Please enter an integer between 0 and " + limit + ".";
        case FieldProblem::Kind::TooLong:
            return "Enter no more than " + limit + " characters.";
        default:
            return {};
    }
}

BluetoothValues BluetoothShownFor(const CPrinterSettings& record) {
    const CPrinterDevice& device = *record.m_pDevice;
    if (IsNewFirmware(device)) {
        return {record.m_nBtSecurity, record.m_nBtConnMode, record.m_strBtPin, record.m_strBtName};
    }
    return {kDefaultBtSecurity, kDefaultBtConnMode, kDefaultBtPin, device.m_strModelName};
}

CEditorValues CEditorValues::Load(const CPrinterSettings& record) {
    const CPrinterDevice& device = *record.m_pDevice;
    CEditorValues values;
    values.m_nDensity = PositionIn(DensityPosition(record.Density), kDensityEntries);
    values.m_nSpeed = PositionIn(record.Speed, SpeedEntries(device).size());
    values.m_nCodePage = PositionIn(record.CodePage, CodePageEntries(device.g_Getver).size());
    values.m_nMsrTrigger = MsrTriggerPosition(record.Msr, device);
    values.m_nBaudRate = BaudPosition(record.Baudrate);
    values.m_nDataBits = record.Databit == kDataBitEntries[0] ? 0 : 1;
    values.m_nParity =
        record.Parity == 0 || record.Parity == 1 ? record.Parity : kParityEntries - 1;
    values.m_nFlowControl = PositionIn(record.Flowcontrol, kFlowEntries);
    if (IsNewFirmware(device)) {
        values.m_nRfInterface = PositionIn(record.m_nRfInterface, kRfEntries);
    }

    values.m_nService = PositionIn(record.Service, 2);
    const int fontPosition = record.FontType + FontShift(device);
    values.m_nFont = fontPosition >= FontShift(device) ? PositionIn(fontPosition, 3) : kNoSelection;
    values.m_nBeepPaper = PositionIn(record.BeepPaper, 2);
    values.m_nBeepLowBat = PositionIn(record.BeepLowBat, 2);
    values.m_nDoubleByte = PositionIn(record.LCharMode, 2);
    values.m_nBlackMark = BlackMarkPosition(record.BlackMarkSensor);

    const std::array fields = BarcodeFields();
    for (std::size_t i = 0; i < fields.size(); ++i) {
        values.m_b2dBarcodes[i] = record.*fields[i] != 0;
        values.m_n2dBarcodeCount += record.*fields[i];
    }
    values.m_nTimeOff = record.TimeOff;
    values.m_nTimeSave = record.TimeSave;
    values.m_strCodePageText = device.m_strCodePage;

    const BluetoothValues bluetooth = BluetoothShownFor(record);
    values.m_nBtSecurity = PositionIn(bluetooth.security, 2);
    values.m_nBtConnMode = PositionIn(bluetooth.connMode, 3);
    values.m_strBtPin = bluetooth.pin;
    values.m_strBtName = bluetooth.name;
    values.m_bBluetoothOff = true;

    values.m_Sentinels = SentinelValues::Of(record);
    if (!OffersSentinels(device)) {
        values.m_Sentinels.mode = 0;
    }
    return values;
}

void CEditorValues::Store(CPrinterSettings& record, bool listsRead) const {
    CPrinterDevice& device = *record.m_pDevice;
    if (listsRead) {
        StoreSelected(m_nDensity, DensityValue(m_nDensity, device.g_Getver), record.Density);
        StoreSelected(m_nSpeed, record.Speed);
        StoreSelected(m_nCodePage, record.CodePage);
        StoreSelected(m_nMsrTrigger, record.Msr);
        StoreSelected(m_nBaudRate, kBaudRates[static_cast<std::size_t>(std::max(m_nBaudRate, 0))],
                      record.Baudrate);
        StoreSelected(m_nDataBits, kDataBitEntries[std::max(m_nDataBits, 0)], record.Databit);
        StoreSelected(m_nParity, record.Parity);
        StoreSelected(m_nFlowControl, record.Flowcontrol);
        if (IsNewFirmware(device)) {
            StoreSelected(m_nRfInterface, record.m_nRfInterface);
        }
    }
    StoreSelected(m_nService, record.Service);
    StoreSelected(m_nFont, m_nFont - FontShift(device), record.FontType);
    StoreSelected(m_nBeepPaper, record.BeepPaper);
    StoreSelected(m_nBeepLowBat, record.BeepLowBat);
    StoreSelected(m_nDoubleByte, record.LCharMode);
    record.BlackMarkSensor = m_nBlackMark == 0   ? kBlackMarkFront
                             : m_nBlackMark == 1 ? kBlackMarkRear
                                                 : kBlackMarkNone;

    const std::array fields = BarcodeFields();
    for (std::size_t i = 0; i < fields.size(); ++i) {
        record.*fields[i] = m_b2dBarcodes[i] ? 1 : 0;
    }
    record.TimeOff = m_nTimeOff;
    record.TimeSave = m_nTimeSave;
    device.m_strCodePage = m_strCodePageText;

    record.m_bBluetoothOff = m_bBluetoothOff ? 1 : 0;
    if (!m_bBluetoothOff) {
        StoreSelected(m_nBtSecurity, record.m_nBtSecurity);
        StoreSelected(m_nBtConnMode, record.m_nBtConnMode);
        record.m_strBtPin = m_strBtPin;
        record.m_strBtName = m_strBtName;
    }
    m_Sentinels.StoreTo(record);
}

bool CEditorValues::Toggle2dBarcode(Barcode barcode) {
    bool& box = m_b2dBarcodes[static_cast<std::size_t>(barcode)];
    box = !box;
    if (!box) {
        return false;  // unchecking does not recount
    }
    const int checked =
        static_cast<int>(std::count(m_b2dBarcodes.begin(), m_b2dBarcodes.end(), true));
    const bool warn = m_n2dBarcodeCount == 1 && checked > 1;
    m_n2dBarcodeCount = checked;
    return warn;
}

std::optional<CEditorValues::Refusal> CEditorValues::FirstRefusal() const {
    if (m_nTimeOff < 0 || m_nTimeOff > kMaxTimeOff) {
        return Refusal{"TimeOff", {FieldProblem::Kind::OutOfRange, kMaxTimeOff}};
    }
    if (m_nTimeSave < 0 || m_nTimeSave > kMaxTimeSave) {
        return Refusal{"TimeSave", {FieldProblem::Kind::OutOfRange, kMaxTimeSave}};
    }
    if (m_bBluetoothOff) {
        return std::nullopt;
    }
    if (const FieldProblem problem = CheckTextLength(m_strBtPin, kMaxBtPinLength)) {
        return Refusal{"BtPin", problem};
    }
    if (const FieldProblem problem = CheckTextLength(m_strBtName, kMaxBtNameLength)) {
        return Refusal{"BtName", problem};
    }
    return std::nullopt;
}

std::optional<EditChoice> CEditorValues::Accept(bool factoryDefault) {
    m_bFactoryDefault = false;
    if (FirstRefusal()) {
        return std::nullopt;
    }
    m_bFactoryDefault = factoryDefault;
    return factoryDefault ? EditChoice::Default : EditChoice::Save;
}

}  // namespace printdeck
