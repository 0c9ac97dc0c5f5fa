#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace printdeck {

class CPrinterSettings;

// The card reader's sentinel option and its six codes as the "Advanced MSR
// Settings" window edits them. Codes are raw bytes, one per character.
struct SentinelValues {
    // Code positions, in the order the window checks them.
    enum Code : std::size_t {
        Track1Start,
        Track2Start,
        Track3Start,
        Track1End,
        Track2End,
        Track3End
    };
    static constexpr std::size_t kCodes = 6;

    int mode = 0;  // 0 none, 1 static, 2 dynamic, -1 no radio checked
    std::array<std::string, kCodes> codes;

    static SentinelValues Of(const CPrinterSettings& record);
    void StoreTo(CPrinterSettings& record) const;
};

inline constexpr std::size_t kMaxSentinelCodeLength = 10;
// The hexadecimal conversion never gathers more bytes than this.
inline constexpr std::size_t kHexCodeBufferBytes = 2048;

// What ParseHexCode returns for input that is no hexadecimal code.
inline constexpr std::string_view kInvalidHexCode = "ERRORTARMEKOINPUT";
inline constexpr std::string_view kInvalidHexMessage = "Invalid HEXA Format!!";
inline constexpr std::string_view kSentinelLengthMessage =
    "Sentinel length is over 10 ( length range : 1~10 )";
inline constexpr std::string_view kSentinelRangeMessage = "Sentinel is invalid value (0x20~0x7F)";

// The bytes of hexadecimal pairs such as "0A 1F": blanks may stand between
// pairs, not inside one; an odd digit left over gives the empty code;
// anything else gives kInvalidHexCode. Input that would convert to more
// than the buffer stops there, which the length check then refuses.
std::string ParseHexCode(std::string_view text);

// Empty when the code is acceptable, else the message: too long, empty
// where it must not be, or (for typed characters) a byte outside 0x20..0x7F.
std::string CheckSentinelCode(std::string_view code, bool mustNotBeEmpty, bool typedAsCharacters);

// The check of the window's "OK" on the six codes as typed: converts them
// first when `hexInput`, each result replacing its code at once. Returns
// the first error text, empty when all pass; the codes are then what the
// fields give back, so a converted 00 byte ends its code.
std::string AcceptSentinelCodes(SentinelValues& values, bool hexInput);

}  // namespace printdeck
