#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>

#include "Bytes.h"

namespace printdeck::vp {

// Characters D1..D8 of one memory switch, '0' or '1'.
using SwitchChars = std::array<char, 8>;

// The printer's configuration: memory switches (80 is the RF interface, 81
// the black-mark sensor), serial interface, Bluetooth module and card-reader
// sentinels. Starts at the factory settings.
struct SettingsMemory {
    std::map<int, SwitchChars> switches{
        {1, {'0', '0', '0', '0', '1', '1', '0', '0'}},
        {2, {'0', '0', '0', '0', '0', '0', '0', '0'}},
        {3, {'0', '0', '0', '0', '0', '0', '0', '1'}},
        {5, {'0', '0', '0', '0', '1', '1', '1', '1'}},
        {6, {'0', '0', '0', '0', '1', '0', '1', '0'}},
        {7, {'0', '1', '1', '1', '0', '0', '0', '0'}},
        {8, {'0', '0', '0', '0', '0', '0', '0', '0'}},
        {80, {'0', '0', '0', '0', '0', '0', '0', '0'}},
        {81, {'0', '0', '0', '0', '0', '0', '0', '1'}},
    };
    bool settingMode = false;
    // A printer that acknowledges writes to this switch but keeps its value.
    int ignoredSwitch = 0;

    std::string baudrate = "115200";
    char parity = '0';
    char flowControl = '0';
    char dataBits = '8';

    char btSecurity = '1';
    char btConnectionMode = '2';  // modes '1' to '3'
    std::string btPin = "4826";
    std::string btName = "MRQ-T200";

    std::array<std::string, 3> trackStart{"%", ";", ";"};
    std::array<std::string, 3> trackEnd{"?", "?", "?"};
    // A card reader that does not report these tracks' sentinels.
    std::array<bool, 3> trackSilent{};

    // Test hook: when set, the next settings command is answered with
    // exactly these bytes (none: silence) instead of its own reply.
    std::optional<Bytes> scriptedReply;

    // Switch n as text ("00001100"); empty when the printer has no such switch.
    std::string Switch(int n) const {
        const auto found = switches.find(n);
        return found == switches.end() ? std::string()
                                       : std::string(found->second.begin(), found->second.end());
    }
};

}  // namespace printdeck::vp
