#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace printdeck::vp {

// What the printer says about itself.
struct Identity {
    std::string model = "_MRQ-T200";      // model query reply, sent with a closing 00
    std::string firmware = "_VER V1.23";  // version query reply, sent with a closing 00
    // Code-page query reply, sent as it is; nullopt leaves the query unanswered.
    std::optional<std::string> codePage = "_PC437";
    // Card-reader setting byte. '0' is a reader without the extended
    // (long-form) switch layout and without the 'P' variant.
    std::uint8_t msr = '0';
};

// A printer of each settings dialect, as the demo and the benchmarks play it.
struct DialectPreset {
    const char* name;
    const char* model;
    const char* firmware;
};

inline constexpr DialectPreset kDialectPresets[] = {
    {"old-msw", "_MRQ-T200", "_VER V1.23"},
    {"sw", "_MRQ-T200", "_V01.00"},
    {"new-msw", "_MRQ-T300", "_V01.05"},
};

}  // namespace printdeck::vp
