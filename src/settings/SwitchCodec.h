#pragma once

#include <array>
#include <cstdint>
#include <utility>
#include <vector>

#include "settings/SettingsProtocol.h"

namespace printdeck {
class CPrinterSettings;
}

namespace printdeck::settings {

// Characters D1..D8 of one memory switch: '0', '1', or '2' (leave unchanged)
// in writes.
using SwitchBlock = std::array<char, 8>;

inline constexpr SwitchBlock kUnchangedBlock{'2', '2', '2', '2', '2', '2', '2', '2'};

// A switch as the printer reported it, with the value each of its written
// fields took from it, so that writing it back can tell which the record
// has changed since.
struct SwitchReading {
    SwitchBlock block{};
    std::vector<std::pair<int CPrinterSettings::*, int>> values;
};

// What the meaning of a switch depends on besides the record.
struct SwitchContext {
    Dialect dialect = Dialect::Msw;
    int version = 0;              // g_Getver
    std::uint8_t msrSetting = 0;  // card-reader setting byte
};

// Sets the record fields that switch n carries from a received block and
// keeps the block in the record's readings. False (nothing changed) when a
// switch-81 block breaks its rule; switches without fields change nothing
// and succeed.
bool DecodeSwitch(int n, const SwitchBlock& block, const SwitchContext& context,
                  CPrinterSettings& settings);

// The block that writes switch n from the record; positions without a field
// stay '2'. A field still holding the value it was read with keeps the
// printer's own characters ('2' where those were no '0' or '1'), since the
// write cannot express every reading (switch 8's font, a sentinel mode of 3).
SwitchBlock EncodeSwitch(int n, const CPrinterSettings& settings, const SwitchContext& context);

// The three black-mark sensor positions a switch-81 write can express.
bool IsBlackMarkSetting(int value);

// Switch 80: the RF interface selection (0, 1, 2).
SwitchBlock EncodeRfInterface(int rfInterface);
int DecodeRfInterface(char d7, char d8);

}  // namespace printdeck::settings
