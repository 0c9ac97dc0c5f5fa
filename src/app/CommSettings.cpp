#include "app/CommSettings.h"

#include <cstdint>

#include "app/ConfigStore.h"

namespace printdeck {
namespace {

int ReadNumber(const char* name) {
    std::uint32_t number = 0;
    CConfigStore::ReadDwordValue(kProgramKey, name, number);
    return static_cast<int>(number);
}

bool WriteNumber(const char* name, int number) {
    return CConfigStore::WriteDwordValue(kProgramKey, name, static_cast<std::uint32_t>(number));
}

}  // namespace

std::optional<CommSettings> ReadStoredCommSettings(const CommSettings& defaults) {
    std::uint32_t portType = 0;
    if (!CConfigStore::ReadDwordValue(kProgramKey, "uPortType", portType)) {
        return std::nullopt;
    }
    CommSettings stored = defaults;
    stored.uPortType = static_cast<int>(portType);
    CConfigStore::ReadStringValue(kProgramKey, "uPort", stored.uPort);
    stored.uBaudrate = ReadNumber("uBaudrate");
    stored.uDatabit = ReadNumber("uDatabit");
    stored.uParity = ReadNumber("uParity");
    stored.uStopbit = ReadNumber("uStopbit");
    stored.uFlowcontrol = ReadNumber("uFlowcontrol");
    return stored;
}

bool WriteCommSettings(const CommSettings& settings) {
    return WriteNumber("uPortType", settings.uPortType) &&
           CConfigStore::WriteStringValue(kProgramKey, "uPort", settings.uPort) &&
           WriteNumber("uBaudrate", settings.uBaudrate) &&
           WriteNumber("uDatabit", settings.uDatabit) && WriteNumber("uParity", settings.uParity) &&
           WriteNumber("uStopbit", settings.uStopbit) &&
           WriteNumber("uFlowcontrol", settings.uFlowcontrol);
}

}  // namespace printdeck
