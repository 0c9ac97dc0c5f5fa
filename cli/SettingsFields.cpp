#include "SettingsFields.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <iomanip>
#include <sstream>
#include <vector>

#include "Output.h"
#include "app/StringTable.h"
#include "device/PrinterDevice.h"
#include "settings/PrinterSettings.h"
#include "settings/SwitchCodec.h"
#include "settings_editor/EditorChoices.h"

namespace printdeck::cli {
namespace {

using S = CPrinterSettings;

std::string EntryAt(const std::vector<std::string>& entries, int value) {
    return value >= 0 && static_cast<std::size_t>(value) < entries.size()
               ? entries[static_cast<std::size_t>(value)]
               : std::string();
}

std::string RangeText(int minimum, int maximum) {
    return "this printer offers " + std::to_string(minimum) + " to " + std::to_string(maximum);
}

// Empty when value is a position of the list, else the range it offers.
std::string CheckEntry(const std::vector<std::string>& entries, int value) {
    if (value >= 0 && static_cast<std::size_t>(value) < entries.size()) {
        return {};
    }
    return RangeText(0, static_cast<int>(entries.size()) - 1);
}

int Number(const FieldValue& value) {
    return std::get<int>(value);
}

std::string DensityMeaning(int value, const CPrinterDevice&) {
    return DensityEntry(DensityPosition(value));
}
std::string SpeedMeaning(int value, const CPrinterDevice& device) {
    return EntryAt(SpeedEntries(device), value);
}
std::string EnabledMeaning(int value, const CPrinterDevice&) {
    return value != 0 ? "enabled" : "disabled";
}
std::string CodePageMeaning(int value, const CPrinterDevice& device) {
    return EntryAt(CodePageEntries(device.g_Getver), value);
}
std::string ServiceMeaning(int value, const CPrinterDevice&) {
    return EntryAt({"Receipt", "Label"}, value);
}
std::string FontMeaning(int value, const CPrinterDevice& device) {
    return EntryAt(FontEntries(device.g_Getver), value);
}
std::string OffOnMeaning(int value, const CPrinterDevice&) {
    return EntryAt({"Off", "On"}, value);
}
std::string OnOffMeaning(int value, const CPrinterDevice&) {
    return EntryAt({"On", "Off"}, value);
}
std::string BlackMarkMeaning(int value, const CPrinterDevice&) {
    if (value == kBlackMarkFront) {
        return "Front";
    }
    return value == kBlackMarkRear ? "Rear" : "no position chosen";
}
std::string MinutesMeaning(int, const CPrinterDevice&) {
    return "minutes";
}
std::string SecondsMeaning(int, const CPrinterDevice&) {
    return "seconds";
}
std::string MsrMeaning(int value, const CPrinterDevice& device) {
    const std::vector<std::string> entries = MsrTriggerEntries(device);
    return MsrTriggerFixed(device) ? entries.front() : EntryAt(entries, value);
}
std::string BaudMeaning(int, const CPrinterDevice&) {
    return "bits per second";
}
std::string DataBitsMeaning(int, const CPrinterDevice&) {
    return "data bits";
}
std::string ParityMeaning(int value, const CPrinterDevice&) {
    return EntryAt({LoadString(IDS_NONE), "Odd", "Even"}, value);
}
std::string FlowMeaning(int value, const CPrinterDevice&) {
    return EntryAt({"DTR/DSR", "Xon/Xoff"}, value);
}
std::string SentinelMeaning(int value, const CPrinterDevice&) {
    return EntryAt({"None", "Static", "Dynamic"}, value);
}
std::string SecurityMeaning(int value, const CPrinterDevice&) {
    return EntryAt({"Disable", "Enable"}, value);
}
std::string ConnModeMeaning(int value, const CPrinterDevice&) {
    return EntryAt({"Mode 1", "Mode 2", "Mode 3"}, value);
}
std::string BluetoothOffMeaning(int value, const CPrinterDevice&) {
    return value != 0 ? "the write leaves the Bluetooth settings alone"
                      : "the write sends the Bluetooth settings";
}
std::string RfMeaning(int value, const CPrinterDevice&) {
    return EntryAt(RfInterfaceEntries(), value);
}

std::string Check2dBarcode(const FieldValue&, const S& settings) {
    return Offers2dBarcodes(settings.m_pDevice->g_Getver) ? "" : "fixed on this printer's firmware";
}
std::string CheckCodePage(const FieldValue& value, const S& settings) {
    return CheckEntry(CodePageEntries(settings.m_pDevice->g_Getver), Number(value));
}
std::string CheckFont(const FieldValue& value, const S& settings) {
    return CheckEntry(FontEntries(settings.m_pDevice->g_Getver), Number(value));
}
std::string CheckBlackMark(const FieldValue& value, const S& settings) {
    if (settings.m_pDevice->g_Getver < 101000) {
        return "this printer's firmware has no black-mark sensor setting";
    }
    if (!OffersBlackMarkSensor(settings)) {
        return "the printer reported no black-mark sensor position, so it cannot be chosen";
    }
    const int number = Number(value);
    return number == kBlackMarkFront || number == kBlackMarkRear ? "" : "choose front or rear";
}
std::string CheckTimeOff(const FieldValue& value, const S&) {
    return Number(value) <= kMaxTimeOff ? "" : RangeText(0, kMaxTimeOff);
}
std::string CheckMsr(const FieldValue& value, const S& settings) {
    const CPrinterDevice& device = *settings.m_pDevice;
    if (MsrTriggerFixed(device)) {
        return Number(value) == 0
                   ? ""
                   : "this card reader offers only 0 (" + MsrMeaning(0, device) + ")";
    }
    return CheckEntry(MsrTriggerEntries(device), Number(value));
}
std::string CheckBaudrate(const FieldValue& value, const S&) {
    if (std::find(kBaudRates.begin(), kBaudRates.end(), Number(value)) != kBaudRates.end()) {
        return {};
    }
    return "choose 2400, 4800, 9600, 19200, 38400, 57600 or 115200";
}
std::string NoSentinels(const CPrinterDevice& device) {
    return OffersSentinels(device) ? "" : "this printer has no sentinel settings";
}
std::string CheckSentinel(const FieldValue& value, const S& settings) {
    const std::string missing = NoSentinels(*settings.m_pDevice);
    if (!missing.empty()) {
        return missing;
    }
    return Number(value) >= 0 ? "" : RangeText(0, 2);
}
std::string CheckSentinelText(const std::string& text, std::size_t shortest,
                              const CPrinterDevice& device) {
    const std::string missing = NoSentinels(device);
    if (!missing.empty()) {
        return missing;
    }
    if (text.size() < shortest || text.size() > static_cast<std::size_t>(kMaxSentinelLength)) {
        return "a sentinel code has " + std::to_string(shortest) + " to " +
               std::to_string(kMaxSentinelLength) + " bytes";
    }
    return {};
}
std::string CheckStartText(const FieldValue& value, const S& settings) {
    return CheckSentinelText(std::get<std::string>(value), 1, *settings.m_pDevice);
}
std::string CheckEndText(const FieldValue& value, const S& settings) {
    return CheckSentinelText(std::get<std::string>(value), 0, *settings.m_pDevice);
}
std::string CheckRf(const FieldValue&, const S& settings) {
    return OffersRfInterface(settings.m_pDevice->g_Getver)
               ? ""
               : "this printer's firmware has no RF interface";
}

constexpr int kTextLimit = 12;  // the printer's sentinel command buffer
constexpr int kAnyNumber = 0x7FFFFFFF;
constexpr auto A = FieldPresence::Always;
constexpr auto W = FieldPresence::WithSentinels;
constexpr auto N = FieldPresence::NewFirmware;

constexpr SettingsField kFields[] = {
    {"Density", &S::Density, nullptr, 0, 7, A, DensityMeaning, nullptr,
     "0..7, print density: 3 150%, 5 140%, 0 130%, 1 120%, 2 110%, 4 100%, 6 90%, 7 80%"},
    {"Speed", &S::Speed, nullptr, 0, 1, A, SpeedMeaning, nullptr, "0 fast, 1 50mm/s"},
    {"DataMatrix", &S::DataMatrix, nullptr, 0, 1, A, EnabledMeaning, Check2dBarcode,
     "0, 1 (firmware before 101000)"},
    {"MaxiCode", &S::MaxiCode, nullptr, 0, 1, A, EnabledMeaning, Check2dBarcode,
     "0, 1 (firmware before 101000)"},
    {"Pdf417", &S::Pdf417, nullptr, 0, 1, A, EnabledMeaning, Check2dBarcode,
     "0, 1 (firmware before 101000)"},
    {"QrCode", &S::QrCode, nullptr, 0, 1, A, EnabledMeaning, Check2dBarcode,
     "0, 1 (firmware before 101000)"},
    {"CodePage", &S::CodePage, nullptr, 0, 63, A, CodePageMeaning, CheckCodePage,
     "0..30, 0..36 from firmware 101000 (settings get shows the names)"},
    {"Service", &S::Service, nullptr, 0, 1, A, ServiceMeaning, nullptr, "0 receipt, 1 label"},
    {"FontType", &S::FontType, nullptr, 0, 2, A, FontMeaning, CheckFont,
     "0 A, 1 B, 2 C (C from firmware 101000)"},
    {"BeepPaper", &S::BeepPaper, nullptr, 0, 1, A, OffOnMeaning, nullptr, "0 off, 1 on"},
    {"BeepLowBat", &S::BeepLowBat, nullptr, 0, 1, A, OnOffMeaning, nullptr, "0 on, 1 off"},
    {"LCharMode", &S::LCharMode, nullptr, 0, 1, A, OffOnMeaning, nullptr,
     "0 off, 1 on (double-byte characters)"},
    {"BlackMarkSensor", &S::BlackMarkSensor, nullptr, -1, 0xFFFF, A, BlackMarkMeaning,
     CheckBlackMark, "front (12592) or rear (12337), firmware 101000 and later"},
    {"TimeOff", &S::TimeOff, nullptr, 0, 127, A, MinutesMeaning, CheckTimeOff,
     "0..90 minutes until power-off"},
    {"TimeSave", &S::TimeSave, nullptr, 0, 255, A, SecondsMeaning, nullptr,
     "0..255 seconds until power saving"},
    {"Msr", &S::Msr, nullptr, 0, 15, A, MsrMeaning, CheckMsr,
     "card-reader trigger, a position of the printer's list (settings get shows it)"},
    {"Baudrate", &S::Baudrate, nullptr, 1, kAnyNumber, A, BaudMeaning, CheckBaudrate,
     "2400, 4800, 9600, 19200, 38400, 57600, 115200"},
    {"Databit", &S::Databit, nullptr, 7, 8, A, DataBitsMeaning, nullptr, "7, 8"},
    {"Parity", &S::Parity, nullptr, 0, 2, A, ParityMeaning, nullptr, "0 none, 1 odd, 2 even"},
    {"Flowcontrol", &S::Flowcontrol, nullptr, 0, 1, A, FlowMeaning, nullptr,
     "0 DTR/DSR, 1 Xon/Xoff"},
    {"Sentinel", &S::Sentinel, nullptr, -1, 2, A, SentinelMeaning, CheckSentinel,
     "0 none, 1 static, 2 dynamic (firmware 21021 and later)"},
    {"Track1Start", nullptr, &S::m_strTrack1Start, 0, kTextLimit, W, nullptr, CheckStartText,
     "1..10 bytes"},
    {"Track2Start", nullptr, &S::m_strTrack2Start, 0, kTextLimit, W, nullptr, CheckStartText,
     "1..10 bytes"},
    {"Track3Start", nullptr, &S::m_strTrack3Start, 0, kTextLimit, W, nullptr, CheckStartText,
     "1..10 bytes"},
    {"Track1End", nullptr, &S::m_strTrack1End, 0, kTextLimit, W, nullptr, CheckEndText,
     "0..10 bytes"},
    {"Track2End", nullptr, &S::m_strTrack2End, 0, kTextLimit, W, nullptr, CheckEndText,
     "0..10 bytes"},
    {"Track3End", nullptr, &S::m_strTrack3End, 0, kTextLimit, W, nullptr, CheckEndText,
     "0..10 bytes"},
    {"BtSecurity", &S::m_nBtSecurity, nullptr, 0, 1, N, SecurityMeaning, nullptr,
     "0 disable, 1 enable authentication and encryption"},
    {"BtConnMode", &S::m_nBtConnMode, nullptr, 0, 2, N, ConnModeMeaning, nullptr,
     "0, 1, 2 for modes 1 to 3"},
    {"BtPin", nullptr, &S::m_strBtPin, 0, kMaxBtPinLength, N, nullptr, nullptr,
     "at most 12 characters"},
    {"BtName", nullptr, &S::m_strBtName, 0, kMaxBtNameLength, N, nullptr, nullptr,
     "at most 30 characters"},
    {"BluetoothOff", &S::m_bBluetoothOff, nullptr, 0, 1, N, BluetoothOffMeaning, nullptr,
     "1 leaves the Bluetooth settings alone, 0 writes them; naming a Bt field sets 0"},
    {"RfInterface", &S::m_nRfInterface, nullptr, 0, 2, N, RfMeaning, CheckRf,
     "0 disable all, 1 Bluetooth, 2 WLAN (firmware 101000 and later)"},
};

bool EqualNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

std::optional<int> ParseNumber(std::string_view text) {
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        text.remove_prefix(2);
        base = 16;
    }
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

std::optional<int> NamedNumber(const SettingsField& field, std::string_view text) {
    if (field.number != &S::BlackMarkSensor) {
        return std::nullopt;
    }
    if (EqualNoCase(text, "front")) {
        return kBlackMarkFront;
    }
    if (EqualNoCase(text, "rear")) {
        return kBlackMarkRear;
    }
    return EqualNoCase(text, "none") ? std::optional<int>(kBlackMarkNone) : std::nullopt;
}

std::optional<FieldValue> CheckDomain(const SettingsField& field, FieldValue value,
                                      std::string& error) {
    if (field.number != nullptr) {
        const int number = Number(value);
        if (number < field.minimum || number > field.maximum) {
            error = "value " + std::to_string(number) + " is outside " +
                    std::to_string(field.minimum) + ".." + std::to_string(field.maximum);
            return std::nullopt;
        }
        return value;
    }
    const std::string& text = std::get<std::string>(value);
    if (text.find('\0') != std::string::npos) {
        error = "a text cannot hold the byte 00";
        return std::nullopt;
    }
    if (text.size() > static_cast<std::size_t>(field.maximum)) {
        error = "at most " + std::to_string(field.maximum) + " bytes";
        return std::nullopt;
    }
    return value;
}

// One character per byte, as the code points U+0000..U+00FF in UTF-8.
std::string BytesToJsonText(const std::string& bytes) {
    std::string text;
    for (unsigned char byte : bytes) {
        if (byte < 0x80) {
            text += static_cast<char>(byte);
        } else {
            text += static_cast<char>(0xC0 | (byte >> 6));
            text += static_cast<char>(0x80 | (byte & 0x3F));
        }
    }
    return text;
}

std::optional<std::string> JsonTextToBytes(const std::string& text) {
    std::string bytes;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto lead = static_cast<unsigned char>(text[i]);
        if (lead < 0x80) {
            bytes += static_cast<char>(lead);
            continue;
        }
        if ((lead != 0xC2 && lead != 0xC3) || i + 1 >= text.size()) {
            return std::nullopt;
        }
        const auto next = static_cast<unsigned char>(text[++i]);
        if ((next & 0xC0) != 0x80) {
            return std::nullopt;
        }
        bytes += static_cast<char>(((lead & 0x03) << 6) | (next & 0x3F));
    }
    return bytes;
}

// A text for the terminal: printable ASCII as it is, other bytes as \xHH.
std::string QuotedText(const std::string& bytes) {
    std::string text = "\"";
    for (unsigned char byte : bytes) {
        if (byte >= 0x20 && byte < 0x7F && byte != '"' && byte != '\\') {
            text += static_cast<char>(byte);
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
            text += escaped;
        }
    }
    return text + "\"";
}

}  // namespace

std::span<const SettingsField> SettingsFields() {
    return kFields;
}

const SettingsField* FindField(std::string_view name) {
    for (const SettingsField& field : kFields) {
        if (EqualNoCase(field.name, name)) {
            return &field;
        }
    }
    return nullptr;
}

FieldValue GetField(const SettingsField& field, const CPrinterSettings& settings) {
    if (field.number != nullptr) {
        return settings.*field.number;
    }
    return settings.*field.text;
}

void SetField(const SettingsField& field, const FieldValue& value, CPrinterSettings& settings) {
    if (field.number != nullptr) {
        settings.*field.number = Number(value);
    } else {
        settings.*field.text = std::get<std::string>(value);
    }
}

bool IsReported(const SettingsField& field, const CPrinterDevice& device) {
    switch (field.presence) {
        case FieldPresence::WithSentinels:
            return device.g_Getver >= 21021;
        case FieldPresence::NewFirmware:
            return device.g_Getver >= 101000;
        default:
            return true;
    }
}

bool IsBluetoothField(const SettingsField& field) {
    return field.number == &S::m_nBtSecurity || field.number == &S::m_nBtConnMode ||
           field.text == &S::m_strBtPin || field.text == &S::m_strBtName;
}

std::optional<FieldValue> ParseFieldValue(const SettingsField& field, std::string_view text,
                                          std::string& error) {
    if (field.text != nullptr) {
        return CheckDomain(field, std::string(text), error);
    }
    std::optional<int> number = NamedNumber(field, text);
    if (!number) {
        number = ParseNumber(text);
    }
    if (!number) {
        error = "\"" + Excerpt(text) + "\" is not a number";
        return std::nullopt;
    }
    return CheckDomain(field, *number, error);
}

std::optional<FieldValue> FieldValueFromJson(const SettingsField& field, const nlohmann::json& json,
                                             std::string& error) {
    if (field.text != nullptr) {
        if (!json.is_string()) {
            error = "expected a text";
            return std::nullopt;
        }
        std::optional<std::string> bytes = JsonTextToBytes(json.get<std::string>());
        if (!bytes) {
            error = "a text may hold only the characters U+0000 to U+00FF";
            return std::nullopt;
        }
        return CheckDomain(field, *bytes, error);
    }
    if (!json.is_number_integer() || json.get<long long>() < INT32_MIN ||
        json.get<long long>() > INT32_MAX) {
        error = "expected a whole number";
        return std::nullopt;
    }
    return CheckDomain(field, json.get<int>(), error);
}

std::string CheckForPrinter(const SettingsField& field, const FieldValue& value,
                            const CPrinterSettings& settings) {
    if (field.editorCheck == nullptr || SameSetting(field, value, GetField(field, settings))) {
        return {};
    }
    return field.editorCheck(value, settings);
}

bool SameSetting(const SettingsField& field, const FieldValue& first, const FieldValue& second) {
    if (first == second) {
        return true;
    }
    // Every value but front and rear means no position: the record holds 0
    // before the editor first stored it and -1 after.
    const auto* a = std::get_if<int>(&first);
    const auto* b = std::get_if<int>(&second);
    return field.number == &CPrinterSettings::BlackMarkSensor && a != nullptr && b != nullptr &&
           !settings::IsBlackMarkSetting(*a) && !settings::IsBlackMarkSetting(*b);
}

std::string ValueText(const SettingsField& field, const FieldValue& value,
                      const CPrinterDevice& device) {
    if (const auto* text = std::get_if<std::string>(&value)) {
        return QuotedText(*text);
    }
    const int number = std::get<int>(value);
    const std::string meaning = field.meaning(number, device);
    std::ostringstream out;
    out << std::left << std::setw(8) << number << (meaning.empty() ? "" : "  " + meaning);
    return out.str();
}

nlohmann::ordered_json ValueJson(const FieldValue& value) {
    if (const auto* text = std::get_if<std::string>(&value)) {
        return BytesToJsonText(*text);
    }
    return std::get<int>(value);
}

void PrintSettings(std::ostream& out, const CPrinterSettings& settings) {
    const CPrinterDevice& device = *settings.m_pDevice;
    for (const SettingsField& field : kFields) {
        if (IsReported(field, device)) {
            out << std::left << std::setw(17) << field.name << std::right
                << ValueText(field, GetField(field, settings), device) << "\n";
        }
    }
}

nlohmann::ordered_json SettingsToJson(const CPrinterSettings& settings) {
    nlohmann::ordered_json json = nlohmann::ordered_json::object();
    for (const SettingsField& field : kFields) {
        if (IsReported(field, *settings.m_pDevice)) {
            json[std::string(field.name)] = ValueJson(GetField(field, settings));
        }
    }
    return json;
}

std::string FieldsHelp() {
    std::string help =
        "Fields (NAME as in settings get --json; names match without regard to case):\n";
    for (const SettingsField& field : kFields) {
        std::string name(field.name);
        name.resize(std::max<std::size_t>(name.size() + 1, 17), ' ');
        help += "  " + name + std::string(field.help) + "\n";
    }
    help +=
        "A value the printer already holds is always accepted; another must be one the settings "
        "editor offers for the connected printer.\n"
        "Texts are raw bytes, taken from NAME=VALUE as typed. In JSON each byte is one character "
        "U+0000..U+00FF; bytes other "
        "than printable ASCII appear as \\u00XX escapes.\n";
    return help;
}

}  // namespace printdeck::cli
