#include "settings_editor/SentinelCodes.h"

#include <gtest/gtest.h>

#include <string>

namespace printdeck {
namespace {

const std::string kLength(kSentinelLengthMessage);
const std::string kRange(kSentinelRangeMessage);
const std::string kInvalid(kInvalidHexCode);

TEST(SentinelCodesTest, HexGrammar) {
    const struct {
        const char* input;
        std::string bytes;
    } cases[] = {
        {"0A1F", "\x0A\x1F"},
        {"0A 1F", "\x0A\x1F"},
        {"  0a 1f \t", "\x0A\x1F"},
        {"0A   1F", "\x0A\x1F"},
        {"7e", "\x7E"},
        {"FF", "\xFF"},
        {"", ""},
        {"   ", ""},
        // An odd digit left over empties the whole code.
        {"0A 1", ""},
        {"1", ""},
        // A blank inside a pair, a non-digit, a tab between pairs.
        {"0 A", kInvalid},
        {"0G", kInvalid},
        {"G0", kInvalid},
        {"0A\t1F", kInvalid},
        {"0A -", kInvalid},
        {"0x0A", kInvalid},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.input);
        EXPECT_EQ(ParseHexCode(c.input), c.bytes);
    }
    EXPECT_EQ(ParseHexCode("41 00 42"), std::string("A\0B", 3));
}

TEST(SentinelCodesTest, HexInputBeyondTheBufferStopsThereAndFailsTheLengthCheck) {
    std::string longInput;
    for (int i = 0; i < 5000; ++i) {
        longInput += "41 ";
    }
    const std::string bytes = ParseHexCode(longInput);
    EXPECT_EQ(bytes.size(), kHexCodeBufferBytes);
    EXPECT_EQ(CheckSentinelCode(bytes, true, false), kLength);

    SentinelValues values;
    values.codes = {"25", "3B", "3B", "3F", "3F", longInput};
    EXPECT_EQ(AcceptSentinelCodes(values, true), kLength);
}

TEST(SentinelCodesTest, LengthAndCharacterRange) {
    const struct {
        std::string code;
        bool mustNotBeEmpty;
        bool typed;
        std::string message;
    } cases[] = {
        {"START(1)", true, true, ""},
        {"0123456789", true, true, ""},
        {"0123456789A", true, true, kLength},
        {"0123456789A", false, false, kLength},
        {"", true, true, kLength},
        {"", false, true, ""},
        {" ", true, true, ""},
        {"\x7F", true, true, ""},
        {"A\x1F", true, true, kRange},
        {"\x80", false, true, kRange},
        // Hexadecimal input may name any byte.
        {"\x0A\x1F\x10\x4C", true, false, ""},
        {"\xFF", true, false, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        EXPECT_EQ(CheckSentinelCode(c.code, c.mustNotBeEmpty, c.typed), c.message);
    }
}

SentinelValues Typed(std::array<std::string, SentinelValues::kCodes> codes, int mode = 2) {
    SentinelValues values;
    values.mode = mode;
    values.codes = std::move(codes);
    return values;
}

TEST(SentinelCodesTest, OkChecksEveryCodeInOrderWhateverTheMode) {
    SentinelValues plain = Typed({"START(1)", ";", ";", "?", "", "END3"});
    EXPECT_EQ(AcceptSentinelCodes(plain, false), "");
    EXPECT_EQ(plain.codes[SentinelValues::Track1Start], "START(1)");

    SentinelValues none = Typed({"", ";", ";", "?", "?", "?"}, 0);
    EXPECT_EQ(AcceptSentinelCodes(none, false), kLength);

    SentinelValues control = Typed({"%", ";", ";", "?", "\x1F", "?"});
    EXPECT_EQ(AcceptSentinelCodes(control, false), kRange);

    // An odd digit: an empty start code is refused, an empty end code not.
    SentinelValues oddStart = Typed({"0A 1", "3B", "3B", "3F", "3F", "3F"});
    EXPECT_EQ(AcceptSentinelCodes(oddStart, true), kLength);
    SentinelValues oddEnd = Typed({"25", "3B", "3B", "0A 1", "3F", "3F"});
    EXPECT_EQ(AcceptSentinelCodes(oddEnd, true), "");
    EXPECT_EQ(oddEnd.codes[SentinelValues::Track1End], "");
}

TEST(SentinelCodesTest, HexCodesAreConvertedUntilTheFirstInvalidOne) {
    // Check order: the three start codes, then the three end codes.
    SentinelValues values = Typed({"25", "3B", "3B", "0G", "3F", "3F"});
    EXPECT_EQ(AcceptSentinelCodes(values, true), std::string(kInvalidHexMessage));
    EXPECT_EQ(values.codes[SentinelValues::Track3Start], ";");
    EXPECT_EQ(values.codes[SentinelValues::Track2End], "3F");

    SentinelValues bytes = Typed({"0A 1F 10 4C", "3B", "3B", "3F", "3F", "3F"});
    EXPECT_EQ(AcceptSentinelCodes(bytes, true), "");
    EXPECT_EQ(bytes.codes[SentinelValues::Track1Start], "\x0A\x1F\x10\x4C");
}

TEST(SentinelCodesTest, ConvertedZeroByteEndsTheCodeBeforeTheCheck) {
    SentinelValues values = Typed({"41 00 42", "3B", "3B", "3F", "3F", "3F"});
    EXPECT_EQ(AcceptSentinelCodes(values, true), "");
    EXPECT_EQ(values.codes[SentinelValues::Track1Start], "A");

    // A start code that the field would give back empty is no start code.
    SentinelValues leadingZero = Typed({"00 41", "3B", "3B", "3F", "3F", "3F"});
    EXPECT_EQ(AcceptSentinelCodes(leadingZero, true), kLength);
}

}  // namespace
}  // namespace printdeck
