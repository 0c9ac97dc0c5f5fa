#pragma once

#include <nlohmann/json.hpp>
#include <optional>
#include <ostream>
#include <span>
#include <string>
#include <string_view>
#include <variant>

namespace printdeck {
class CPrinterDevice;
class CPrinterSettings;
}  // namespace printdeck

namespace printdeck::cli {

// A value of one settings field: a number, or a text of raw bytes.
using FieldValue = std::variant<int, std::string>;

// Which printers report a field; the others leave it out of the output.
enum class FieldPresence { Always, WithSentinels, NewFirmware };

// One field of the settings record as the command line names, explains,
// checks and prints it. The name is the record's field name without its
// member prefix; it is the JSON key and the NAME of `settings set`.
struct SettingsField {
    std::string_view name;
    int CPrinterSettings::*number;
    std::string CPrinterSettings::*text;
    // Values the record can hold (numbers), or its longest text in bytes.
    int minimum;
    int maximum;
    FieldPresence presence;
    // The meaning of a number for this printer; empty when there is none.
    std::string (*meaning)(int value, const CPrinterDevice& device);
    // Why the editor does not offer this value for this record as the
    // printer gave it; empty when it does.
    std::string (*editorCheck)(const FieldValue& value, const CPrinterSettings& settings);
    std::string_view help;
};

std::span<const SettingsField> SettingsFields();
// The field of a name, matched without regard to case.
const SettingsField* FindField(std::string_view name);

FieldValue GetField(const SettingsField& field, const CPrinterSettings& settings);
void SetField(const SettingsField& field, const FieldValue& value, CPrinterSettings& settings);
bool IsReported(const SettingsField& field, const CPrinterDevice& device);
bool IsBluetoothField(const SettingsField& field);

// The value of NAME=VALUE text, checked against the record's range; nullopt
// with `error` filled when it is no value of the field.
std::optional<FieldValue> ParseFieldValue(const SettingsField& field, std::string_view text,
                                          std::string& error);
// The same for a JSON value as `settings get --json` prints it.
std::optional<FieldValue> FieldValueFromJson(const SettingsField& field, const nlohmann::json& json,
                                             std::string& error);
// Empty when the editor would let the user choose `value` on this printer,
// or when the value is the one the record already holds.
std::string CheckForPrinter(const SettingsField& field, const FieldValue& value,
                            const CPrinterSettings& settings);

// True when the two values set the printer alike (for the black-mark
// sensor, every value but front and rear means no position).
bool SameSetting(const SettingsField& field, const FieldValue& first, const FieldValue& second);

// A value as settings get prints it: a number with its meaning on this
// printer, or a quoted text.
std::string ValueText(const SettingsField& field, const FieldValue& value,
                      const CPrinterDevice& device);
// A value as settings get --json prints it.
nlohmann::ordered_json ValueJson(const FieldValue& value);

// Every reported field with its meaning, one per line.
void PrintSettings(std::ostream& out, const CPrinterSettings& settings);
// Every reported field by name. Texts carry one character per byte: bytes
// 0x00..0xFF as the code points U+0000..U+00FF, escaped as \u00XX when not
// printable ASCII.
nlohmann::ordered_json SettingsToJson(const CPrinterSettings& settings);
// The field names and their ranges, for the command's help.
std::string FieldsHelp();

}  // namespace printdeck::cli
