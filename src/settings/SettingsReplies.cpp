#include "settings/SettingsReplies.h"

#include <algorithm>
#include <charconv>

#include "device/ResultCodes.h"

namespace printdeck::settings {

namespace {

// Byte k (from 1) of a reply, or 00 past its end.
std::uint8_t At(const Bytes& reply, std::size_t k) {
    return k <= reply.size() ? reply[k - 1] : 0x00;
}

// The reply's text from byte k up to its first 00 (or its end).
std::string TextFrom(const Bytes& reply, std::size_t k) {
    std::string text;
    for (std::size_t i = k; i <= reply.size() && reply[i - 1] != 0x00; ++i) {
        text.push_back(static_cast<char>(reply[i - 1]));
    }
    return text;
}

// Drops everything before the first occurrence of `mark`, `second`.
Bytes SkipTo(const Bytes& reply, std::uint8_t mark, std::uint8_t second) {
    for (std::size_t i = 0; i + 1 < reply.size(); ++i) {
        if (reply[i] == mark && reply[i + 1] == second) {
            return Bytes(reply.begin() + static_cast<std::ptrdiff_t>(i), reply.end());
        }
    }
    return reply;
}

// The digit's value when it lies between first and last.
std::optional<int> DigitIn(std::uint8_t byte, char first, char last) {
    if (byte < static_cast<std::uint8_t>(first) || byte > static_cast<std::uint8_t>(last)) {
        return std::nullopt;
    }
    return byte - '0';
}

// A baud rate: one to seven decimal digits, not zero.
std::optional<int> BaudRate(const std::string& text) {
    const bool digits = !text.empty() && text.size() <= 7 &&
                        std::ranges::all_of(text, [](char c) { return c >= '0' && c <= '9'; });
    int rate = 0;
    if (digits) {
        std::from_chars(text.data(), text.data() + text.size(), rate);
    }
    return rate > 0 ? std::optional(rate) : std::nullopt;
}

std::optional<int> SerialValue(const Bytes& reply, int n) {
    switch (n) {
        case 1:
            return BaudRate(TextFrom(reply, 5));
        case 2:
            return DigitIn(At(reply, 5), '0', '2');
        case 3:
            return DigitIn(At(reply, 5), '0', '1');
        default:
            return DigitIn(At(reply, 5), '7', '8');
    }
}

}  // namespace

std::optional<SwitchBlock> ParseSwitchReply(const Bytes& reply) {
    if (reply.size() != kSwitchReplyLength || reply[0] != kReplyMark || reply[1] != kReplySwitch ||
        reply.back() != 0x00) {
        return std::nullopt;
    }
    SwitchBlock block{};
    std::copy(reply.begin() + 2, reply.begin() + 2 + block.size(), block.begin());
    return block;
}

SerialReply ParseSerialReply(const Bytes& reply, int n) {
    if (reply.size() >= kSerialReplyLimit) {
        return {RC_NO_REPLY, std::nullopt};
    }
    if (At(reply, 1) != kReplyMark || At(reply, 2) != kReplySerial ||
        At(reply, 3) != static_cast<std::uint8_t>('0' + n) || At(reply, 4) != kSerialSeparator) {
        return {RC_BAD_REPLY, std::nullopt};
    }
    if (n < 1 || n > 4) {
        return {RC_OK, std::nullopt};
    }
    const std::optional<int> value = SerialValue(reply, n);
    return {value ? RC_OK : RC_BAD_REPLY, value};
}

BluetoothReply ParseBluetoothReply(const Bytes& reply) {
    if (At(reply, 1) != kReplyMark || At(reply, 2) != kReplyBluetooth) {
        return {RC_NO_REPLY, 0, 0, {}};
    }
    BluetoothReply parsed{RC_OK, static_cast<char>(At(reply, 3)), 0, {}};
    std::optional<int> digit;
    switch (parsed.letter) {
        case 'c':
            digit = DigitIn(At(reply, 4), '1', '3');
            parsed.number = digit.value_or(1) - 1;
            break;
        case 's':
            digit = DigitIn(At(reply, 4), '0', '1');
            parsed.number = digit.value_or(0);
            break;
        case 'd':
        case 'k':
            parsed.text = TextFrom(reply, 4);
            return parsed;
        default:
            break;
    }
    parsed.rc = digit ? RC_OK : RC_BAD_REPLY;
    return parsed;
}

std::optional<SwitchBlock> ParseRfReply(const Bytes& reply) {
    const Bytes from = SkipTo(reply, kReplyMark, kReplySwitch);
    if (At(from, 1) != kReplyMark || At(from, 9) == 0x00 || At(from, 10) == 0x00) {
        return std::nullopt;
    }
    SwitchBlock block{};
    for (std::size_t k = 0; k < block.size(); ++k) {
        block[k] = static_cast<char>(At(from, k + 3));
    }
    return block;
}

SentinelReply ParseSentinelReply(const Bytes& reply, int track) {
    const Bytes from = SkipTo(reply, kReplyMark, kReplySentinel);
    // Any one of mark, type and track in place counts as a sentinel report.
    SentinelReply parsed;
    parsed.report = At(from, 1) == kReplyMark || At(from, 2) == kReplySentinel ||
                    At(from, 3) == static_cast<std::uint8_t>('0' + track);
    if (!parsed.report) {
        return parsed;
    }
    std::string* text = &parsed.start;
    for (std::size_t k = 4; k <= from.size() && from[k - 1] != 0x00; ++k) {
        if (from[k - 1] == kSentinelSeparator && text == &parsed.start) {
            text = &parsed.end;
        } else {
            text->push_back(static_cast<char>(from[k - 1]));
        }
    }
    return parsed;
}

}  // namespace printdeck::settings
