#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "Options.h"
#include "VirtualPrinter.h"

namespace printdeck::test {
namespace {

using vp::Fault;

struct FaultRow {
    const char* text;
    std::optional<Fault> expected;
};

class FaultNameTest : public ::testing::TestWithParam<FaultRow> {};

TEST_P(FaultNameTest, ParsesAndNamesBack) {
    const auto parsed = vp::ParseFault(GetParam().text);
    EXPECT_EQ(parsed, GetParam().expected);
    if (parsed) {
        EXPECT_EQ(vp::ParseFault(vp::FaultName(*parsed)), parsed);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Names, FaultNameTest,
    ::testing::Values(FaultRow{"none", Fault{}}, FaultRow{"silent", Fault{Fault::Kind::Silent}},
                      FaultRow{"pieces", Fault{Fault::Kind::Pieces, vp::kDefaultPiecePauseMs}},
                      FaultRow{"pieces=50", Fault{Fault::Kind::Pieces, 50}},
                      FaultRow{"garbage", Fault{Fault::Kind::Garbage}},
                      FaultRow{"no-terminator", Fault{Fault::Kind::NoTerminator}},
                      FaultRow{"close-after=12", Fault{Fault::Kind::CloseAfter, 12}},
                      FaultRow{"slow=0", Fault{Fault::Kind::Slow, 0}},
                      // A limit or a delay has no sensible default.
                      FaultRow{"close-after", std::nullopt}, FaultRow{"slow", std::nullopt},
                      FaultRow{"slow=-5", std::nullopt}, FaultRow{"slow=5ms", std::nullopt},
                      FaultRow{"silent=3", std::nullopt}, FaultRow{"Silent", std::nullopt},
                      FaultRow{"", std::nullopt}));

TEST(ByteSettingTest, AcceptsACharacterOrANumber) {
    const struct {
        const char* text;
        std::optional<std::uint8_t> expected;
    } rows[] = {{"9", 0x39},
                {"0", 0x30},
                {"P", 0x50},
                {"57", 57},
                {"0x39", 0x39},
                {"0XfF", 0xFF},
                {"00", 0},
                {"255", 255},
                {"256", std::nullopt},
                {"0x100", std::nullopt},
                {"", std::nullopt},
                {"-1", std::nullopt},
                {"5x", std::nullopt},
                {"0x", std::nullopt}};
    for (const auto& row : rows) {
        EXPECT_EQ(vp::ParseByteSetting(row.text), row.expected) << row.text;
    }
}

TEST(ListenAddressTest, ParsesHostAndPort) {
    const struct {
        const char* text;
        std::optional<vp::ListenAddress> expected;
    } rows[] = {{"127.0.0.1:9100", vp::ListenAddress{"127.0.0.1", 9100}},
                {"127.0.0.1:0", vp::ListenAddress{"127.0.0.1", 0}},
                {"localhost:65535", vp::ListenAddress{"127.0.0.1", 65535}},
                {"0.0.0.0:9100", vp::ListenAddress{"0.0.0.0", 9100}},
                {"127.0.0.1:65536", std::nullopt},
                {"127.0.0.1", std::nullopt},
                {"127.0.0.1:", std::nullopt},
                {"printer:9100", std::nullopt},
                {"127.0.0.1:91x", std::nullopt}};
    for (const auto& row : rows) {
        EXPECT_EQ(vp::ParseListenAddress(row.text), row.expected) << row.text;
    }
}

TEST(ListenAddressTest, RefusesAnAddressBeyondLoopbackUnlessAllowed) {
    EXPECT_TRUE(vp::IsLoopback("127.0.0.1"));
    EXPECT_TRUE(vp::IsLoopback("127.1.2.3"));
    EXPECT_FALSE(vp::IsLoopback("0.0.0.0"));
    EXPECT_FALSE(vp::IsLoopback("128.0.0.1"));

    vp::PrinterOptions options;
    options.listen = {"0.0.0.0", 0};
    vp::VirtualPrinter printer(options);
    std::string error;
    EXPECT_FALSE(printer.Start(&error));
    EXPECT_NE(error.find("allow-remote"), std::string::npos) << error;
    EXPECT_FALSE(printer.IsRunning());
}

}  // namespace
}  // namespace printdeck::test
