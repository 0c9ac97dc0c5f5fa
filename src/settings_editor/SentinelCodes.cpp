#include "settings_editor/SentinelCodes.h"

#include <optional>

#include "settings/PrinterSettings.h"

namespace printdeck {
namespace {

using Member = std::string CPrinterSettings::*;

constexpr std::array<Member, SentinelValues::kCodes> kCodeFields = {
    &CPrinterSettings::m_strTrack1Start, &CPrinterSettings::m_strTrack2Start,
    &CPrinterSettings::m_strTrack3Start, &CPrinterSettings::m_strTrack1End,
    &CPrinterSettings::m_strTrack2End,   &CPrinterSettings::m_strTrack3End,
};

std::optional<int> HexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return std::nullopt;
}

bool IsWhiteSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && IsWhiteSpace(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsWhiteSpace(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

bool IsPrintable(unsigned char byte) {
    return byte >= 0x20 && byte <= 0x7F;
}

bool IsStartCode(std::size_t index) {
    return index < SentinelValues::Track1End;
}

}  // namespace

SentinelValues SentinelValues::Of(const CPrinterSettings& record) {
    SentinelValues values;
    values.mode = record.Sentinel;
    for (std::size_t i = 0; i < kCodes; ++i) {
        values.codes[i] = record.*kCodeFields[i];
    }
    return values;
}

void SentinelValues::StoreTo(CPrinterSettings& record) const {
    record.Sentinel = mode;
    for (std::size_t i = 0; i < kCodes; ++i) {
        record.*kCodeFields[i] = codes[i];
    }
}

std::string ParseHexCode(std::string_view text) {
    text = Trimmed(text);
    std::string bytes;
    std::size_t i = 0;
    while (i < text.size()) {
        if (text[i] == ' ') {
            ++i;
            continue;
        }
        const std::optional<int> high = HexDigit(text[i]);
        if (!high) {
            return std::string(kInvalidHexCode);
        }
        if (i + 1 == text.size()) {
            return {};  // an odd digit left over
        }
        const std::optional<int> low = HexDigit(text[i + 1]);
        if (!low) {
            return std::string(kInvalidHexCode);
        }
        if (bytes.size() == kHexCodeBufferBytes) {
            return bytes;
        }
        bytes += static_cast<char>(*high * 16 + *low);
        i += 2;
    }
    return bytes;
}

std::string CheckSentinelCode(std::string_view code, bool mustNotBeEmpty, bool typedAsCharacters) {
    if (code.size() > kMaxSentinelCodeLength || (mustNotBeEmpty && code.empty())) {
        return std::string(kSentinelLengthMessage);
    }
    if (typedAsCharacters) {
        for (char c : code) {
            if (!IsPrintable(static_cast<unsigned char>(c))) {
                return std::string(kSentinelRangeMessage);
            }
        }
    }
    return {};
}

std::string AcceptSentinelCodes(SentinelValues& values, bool hexInput) {
    if (hexInput) {
        for (std::string& code : values.codes) {
            code = ParseHexCode(code);
            if (code == kInvalidHexCode) {
                return std::string(kInvalidHexMessage);
            }
        }
    }
    for (std::size_t i = 0; i < SentinelValues::kCodes; ++i) {
        std::string& code = values.codes[i];
        // A text field ends its text at a 00 byte; check what it gives back.
        code = code.substr(0, code.find('\0'));
        const std::string error = CheckSentinelCode(code, IsStartCode(i), !hexInput);
        if (!error.empty()) {
            return error;
        }
    }
    return {};
}

}  // namespace printdeck
