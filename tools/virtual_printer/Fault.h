#pragma once

#include <chrono>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Bytes.h"

namespace printdeck::vp {

// Misbehaviour on demand, one at a time, for testing the host side.
struct Fault {
    enum class Kind {
        None,
        Silent,        // reads everything, never answers
        Pieces,        // every reply in two pieces, `value` ms apart
        Garbage,       // replies whose bytes form no valid reply
        NoTerminator,  // drops the reply's final 00 byte
        CloseAfter,    // hangs up on the value-th byte received in a connection
        Slow,          // waits `value` ms before each reply
    };
    Kind kind = Kind::None;
    unsigned value = 0;

    bool operator==(const Fault&) const = default;
};

inline constexpr unsigned kDefaultPiecePauseMs = 300;

// "none", "silent", "pieces", "pieces=MS", "garbage", "no-terminator",
// "close-after=N", "slow=MS"; nullopt for anything else.
std::optional<Fault> ParseFault(std::string_view text);
// The name ParseFault accepts for this fault.
std::string FaultName(const Fault& fault);

// The pieces in which a reply block goes out under `fault` (none for a
// silent printer). Delays are the sender's business.
std::vector<Bytes> ShapeReply(const Fault& fault, ByteView block);

}  // namespace printdeck::vp
