// Settings from JSON as `settings set --from` reads them: every value that a
// field accepts is stored in the record and printed back by `settings get
// --json` as the same value.

#include <cstdint>
#include <cstdlib>
#include <string>

#include "SettingsFields.h"
#include "device/PrinterDevice.h"
#include "settings/PrinterSettings.h"

namespace {

using namespace printdeck;
using namespace printdeck::cli;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const nlohmann::json json =
        nlohmann::json::parse(data, data + size, nullptr, /*allow_exceptions=*/false);
    if (!json.is_object()) {
        return 0;
    }
    CPrinterDevice device;
    device.g_Getver = 101000;
    CPrinterSettings settings;
    settings.m_pDevice = &device;
    for (const auto& [name, item] : json.items()) {
        const SettingsField* field = FindField(name);
        std::string reason;
        const auto value =
            field != nullptr ? FieldValueFromJson(*field, item, reason) : std::nullopt;
        if (!value) {
            continue;
        }
        CheckForPrinter(*field, *value, settings);
        SetField(*field, *value, settings);
        if (GetField(*field, settings) != *value) {
            std::abort();
        }
        const nlohmann::ordered_json printed = SettingsToJson(settings);
        const auto again =
            printed.contains(field->name)
                ? FieldValueFromJson(*field, printed[std::string(field->name)], reason)
                : std::optional<FieldValue>(*value);
        if (again != value) {
            std::abort();
        }
    }
    return 0;
}
