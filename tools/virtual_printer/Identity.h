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

}  // namespace printdeck::vp
