#include "Fault.h"

#include <charconv>
#include <cstdint>

namespace printdeck::vp {

namespace {

struct FaultEntry {
    Fault::Kind kind;
    std::string_view name;
    bool takesValue;
    bool valueRequired;
};

constexpr FaultEntry kNames[] = {
    {Fault::Kind::None, "none", false, false},
    {Fault::Kind::Silent, "silent", false, false},
    {Fault::Kind::Pieces, "pieces", true, false},
    {Fault::Kind::Garbage, "garbage", false, false},
    {Fault::Kind::NoTerminator, "no-terminator", false, false},
    {Fault::Kind::CloseAfter, "close-after", true, true},
    {Fault::Kind::Slow, "slow", true, true},
};

std::optional<unsigned> ParseUnsigned(std::string_view text) {
    unsigned value = 0;
    const auto* end = text.data() + text.size();
    const auto result = std::from_chars(text.data(), end, value);
    if (text.empty() || result.ec != std::errc() || result.ptr != end) {
        return std::nullopt;
    }
    return value;
}

// Never 00, 37 or '_', so no reply header or terminator can appear.
std::uint8_t GarbageByte(std::size_t index) {
    return static_cast<std::uint8_t>(0xC0 + index % 0x20);
}

}  // namespace

std::optional<Fault> ParseFault(std::string_view text) {
    const auto equals = text.find('=');
    const std::string_view name = text.substr(0, equals);
    for (const auto& entry : kNames) {
        if (entry.name != name) {
            continue;
        }
        if (equals == std::string_view::npos) {
            if (entry.valueRequired) {
                return std::nullopt;
            }
            const unsigned value = entry.kind == Fault::Kind::Pieces ? kDefaultPiecePauseMs : 0;
            return Fault{entry.kind, value};
        }
        const auto value = entry.takesValue ? ParseUnsigned(text.substr(equals + 1)) : std::nullopt;
        if (!value) {
            return std::nullopt;
        }
        return Fault{entry.kind, *value};
    }
    return std::nullopt;
}

std::string FaultName(const Fault& fault) {
    for (const auto& entry : kNames) {
        if (entry.kind == fault.kind) {
            std::string name(entry.name);
            return entry.takesValue ? name + "=" + std::to_string(fault.value) : name;
        }
    }
    return "none";
}

std::vector<Bytes> ShapeReply(const Fault& fault, ByteView block) {
    Bytes bytes(block.begin(), block.end());
    switch (fault.kind) {
        case Fault::Kind::Silent:
            return {};
        case Fault::Kind::Pieces: {
            if (bytes.size() < 2) {
                return {bytes};
            }
            const auto half = static_cast<std::ptrdiff_t>(bytes.size() / 2);
            return {Bytes(bytes.begin(), bytes.begin() + half),
                    Bytes(bytes.begin() + half, bytes.end())};
        }
        case Fault::Kind::Garbage: {
            // A closing 00 stays, so the host judges the reply at once
            // instead of waiting out its time limit.
            const bool keepTerminator = !bytes.empty() && bytes.back() == 0;
            const std::size_t count = bytes.size() - (keepTerminator ? 1 : 0);
            for (std::size_t i = 0; i < count; ++i) {
                bytes[i] = GarbageByte(i);
            }
            return {bytes};
        }
        case Fault::Kind::NoTerminator:
            if (!bytes.empty() && bytes.back() == 0) {
                bytes.pop_back();
            }
            return {bytes};
        default:
            return {bytes};
    }
}

}  // namespace printdeck::vp
