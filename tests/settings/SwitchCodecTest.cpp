#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "RecordFields.h"
#include "settings/PrinterSettings.h"
#include "settings/SwitchCodec.h"

namespace printdeck::test {
namespace {

using settings::Dialect;
using settings::SwitchBlock;
using settings::SwitchContext;

using FieldValues = std::vector<std::pair<int CPrinterSettings::*, int>>;

SwitchBlock Block(const std::string& digits) {
    SwitchBlock block{};
    std::copy_n(digits.begin(), block.size(), block.begin());
    return block;
}

std::string Text(const SwitchBlock& block) {
    return std::string(block.begin(), block.end());
}

constexpr SwitchContext Msw(int version, std::uint8_t msr = '0') {
    return {Dialect::Msw, version, msr};
}
constexpr SwitchContext Sw(int version, std::uint8_t msr = '0') {
    return {Dialect::Sw, version, msr};
}

struct DecodeRow {
    const char* name;
    int n;
    SwitchContext context;
    const char* digits;
    FieldValues expected;  // every other field must stay as it was
};

class DecodeTest : public ::testing::TestWithParam<DecodeRow> {};

TEST_P(DecodeTest, SetsExactlyTheSwitchFields) {
    const DecodeRow& row = GetParam();
    CPrinterSettings expected;
    for (const auto& [field, value] : row.expected) {
        expected.*field = value;
    }
    CPrinterSettings decoded;
    EXPECT_TRUE(settings::DecodeSwitch(row.n, Block(row.digits), row.context, decoded));
    EXPECT_EQ(RecordFields(decoded), RecordFields(expected));
}

using S = CPrinterSettings;
INSTANTIATE_TEST_SUITE_P(
    Switches, DecodeTest,
    ::testing::Values(
        DecodeRow{
            "Sw1", 1, Msw(0), "00011101", {{&S::Speed, 1}, {&S::LCharMode, 1}, {&S::Density, 5}}},
        DecodeRow{"Sw1OnlyOneCountsAsSet",
                  1,
                  Msw(0),
                  "00020000",
                  {{&S::Speed, 0}, {&S::LCharMode, 0}, {&S::Density, 0}}},
        DecodeRow{"Sw2BelowWideCodePages", 2, Sw(20999), "00010100", {{&S::CodePage, 2}}},
        DecodeRow{"Sw2WithWideCodePages", 2, Sw(21000), "00010100", {{&S::CodePage, 34}}},
        DecodeRow{"Sw2WideInMswToo", 2, Msw(101000), "11111111", {{&S::CodePage, 63}}},
        DecodeRow{"Sw3",
                  3,
                  Msw(0),
                  "00001011",
                  {{&S::QrCode, 1}, {&S::MaxiCode, 0}, {&S::DataMatrix, 1}, {&S::Pdf417, 1}}},
        DecodeRow{"Sw5IgnoresD1", 5, Msw(0), "11000001", {{&S::TimeOff, 65}}},
        DecodeRow{"Sw6", 6, Msw(0), "10000001", {{&S::TimeSave, 129}}},
        DecodeRow{"Sw7LongForm", 7, Msw(11061, '9'), "01110000", {{&S::Msr, 6}}},
        DecodeRow{"Sw7ShortFormOnOldFirmware", 7, Msw(11060, '9'), "01110000", {{&S::Msr, 0}}},
        DecodeRow{"Sw7ShortFormOnPlainReader", 7, Msw(101000, '8'), "01110101", {{&S::Msr, 5}}},
        DecodeRow{"Sw7SwReadByReaderAlone", 7, Sw(1000, 'P'), "01110000", {{&S::Msr, 6}}},
        DecodeRow{"Sw8",
                  8,
                  Msw(0),
                  "00011110",
                  {{&S::Service, 1}, {&S::BeepLowBat, 1}, {&S::BeepPaper, 1}, {&S::FontType, 2}}},
        DecodeRow{"Sw8SentinelFrom21021",
                  8,
                  Msw(21021),
                  "01000001",
                  {{&S::Sentinel, 2}, {&S::FontType, 1}}},
        DecodeRow{"Sw8NoSentinelBefore21021", 8, Msw(21020), "01100000", {}},
        DecodeRow{"Sw8NoSentinelInSw", 8, Sw(50000), "00100000", {}},
        DecodeRow{"Sw81SensorLow", 81, Msw(101000), "00000001", {{&S::BlackMarkSensor, 0x3130}}},
        DecodeRow{"Sw81SensorHigh", 81, Msw(101000), "00000010", {{&S::BlackMarkSensor, 0x3031}}},
        DecodeRow{"Sw81Off", 81, Msw(101000), "00000000", {{&S::BlackMarkSensor, 0x3030}}},
        DecodeRow{"SwitchWithoutFields", 4, Msw(0), "11111111", {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DecodeTest, RejectsSwitch81OutsideItsThreePositions) {
    for (const char* digits : {"00000011", "10000001", "00000021"}) {
        CPrinterSettings s;
        EXPECT_FALSE(settings::DecodeSwitch(81, Block(digits), Msw(101000), s)) << digits;
        EXPECT_EQ(s.BlackMarkSensor, CPrinterSettings().BlackMarkSensor);
    }
}

struct EncodeRow {
    const char* name;
    int n;
    SwitchContext context;
    FieldValues fields;
    const char* expected;
};

class EncodeTest : public ::testing::TestWithParam<EncodeRow> {};

TEST_P(EncodeTest, WritesTheSwitchFieldsAndLeavesTheRestUnchanged) {
    const EncodeRow& row = GetParam();
    CPrinterSettings s;
    for (const auto& [field, value] : row.fields) {
        s.*field = value;
    }
    EXPECT_EQ(Text(settings::EncodeSwitch(row.n, s, row.context)), row.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Switches, EncodeTest,
    ::testing::Values(
        EncodeRow{"Sw1LoadDefaults", 1, Sw(21000), {}, "22200100"},
        EncodeRow{
            "Sw1", 1, Msw(0), {{&S::Density, 4}, {&S::Speed, 0}, {&S::LCharMode, 1}}, "22201100"},
        EncodeRow{"Sw1OnlyOneSetsSpeed", 1, Msw(0), {{&S::Speed, 2}, {&S::Density, 3}}, "22200011"},
        EncodeRow{"Sw2NarrowLeavesD6", 2, Msw(20999), {{&S::CodePage, 34}}, "00010222"},
        EncodeRow{"Sw2Wide", 2, Sw(21000), {{&S::CodePage, 34}}, "00010122"},
        EncodeRow{"Sw3AnyNonZeroIsOn",
                  3,
                  Msw(0),
                  {{&S::QrCode, 5}, {&S::MaxiCode, 0}, {&S::DataMatrix, -1}, {&S::Pdf417, 0}},
                  "22221010"},
        EncodeRow{"Sw5", 5, Msw(0), {{&S::TimeOff, 15}}, "20001111"},
        EncodeRow{"Sw5High", 5, Msw(0), {{&S::TimeOff, 64}}, "21000000"},
        EncodeRow{"Sw6", 6, Msw(0), {{&S::TimeSave, 200}}, "11001000"},
        EncodeRow{"Sw7Short", 7, Msw(101000, '0'), {{&S::Msr, 6}}, "22220110"},
        EncodeRow{"Sw7Long", 7, Msw(11061, '9'), {{&S::Msr, 6}}, "01112222"},
        EncodeRow{"Sw7SwWriteNeedsFirmwareToo", 7, Sw(1000, '9'), {{&S::Msr, 6}}, "22220110"},
        EncodeRow{"Sw7SwLong", 7, Sw(21000, 'P'), {{&S::Msr, 14}}, "11112222"},
        EncodeRow{"Sw8NewMsw",
                  8,
                  Msw(101000),
                  {{&S::FontType, 1}, {&S::Sentinel, 1}, {&S::Service, 1}},
                  "20110001"},
        EncodeRow{"Sw8NewMswFont2",
                  8,
                  Msw(101000),
                  {{&S::FontType, 2}, {&S::Sentinel, 2}, {&S::BeepPaper, 1}},
                  "21000110"},
        EncodeRow{"Sw8OldMsw", 8, Msw(20000), {{&S::FontType, 1}, {&S::BeepLowBat, 3}}, "22201012"},
        EncodeRow{"Sw8Sw", 8, Sw(21021), {{&S::FontType, 2}, {&S::Sentinel, 0}}, "20000021"},
        EncodeRow{"Sw81", 81, Msw(101000), {{&S::BlackMarkSensor, 0x3130}}, "00000001"},
        EncodeRow{"Sw81High", 81, Msw(101000), {{&S::BlackMarkSensor, 0x3031}}, "00000010"},
        EncodeRow{"SwitchWithoutFields", 4, Msw(0), {}, "22222222"}),
    [](const auto& info) { return std::string(info.param.name); });

// The printer's switch after a write: '2' leaves a position as it was.
SwitchBlock Applied(const SwitchBlock& written, const SwitchBlock& before) {
    SwitchBlock after = before;
    for (std::size_t i = 0; i < after.size(); ++i) {
        if (written[i] == '0' || written[i] == '1') {
            after[i] = written[i];
        }
    }
    return after;
}

SwitchBlock BlockOfBits(int value) {
    SwitchBlock block{};
    for (std::size_t i = 0; i < block.size(); ++i) {
        block[i] = (value & (0x80 >> i)) != 0 ? '1' : '0';
    }
    return block;
}

// Every dialect and firmware class the codec tells apart, with both forms
// of the card-reader switch.
std::vector<SwitchContext> EveryPrinterClass() {
    std::vector<SwitchContext> contexts;
    for (std::uint8_t msr : {'0', '9', 'P'}) {
        for (int version : {1039, 11060, 11061, 20999, 101000, 150000}) {
            contexts.push_back(Msw(version, msr));
        }
        for (int version : {21000, 21020, 21021, 100999}) {
            contexts.push_back(Sw(version, msr));
        }
    }
    return contexts;
}

TEST(WriteBackTest, UnchangedReadingWrittenBackLeavesEveryPositionAsThePrinterHadIt) {
    CPrinterSettings stale;  // fields a read does not set keep what the store held
    stale.Sentinel = 1;
    stale.BlackMarkSensor = 0x3031;
    for (const SwitchContext& context : EveryPrinterClass()) {
        for (int n : {1, 2, 3, 5, 6, 7, 8, 80, 81}) {
            if (n == 81 && context.dialect == Dialect::Sw) {
                continue;  // the SW dialect has no black-mark switch
            }
            for (int value = 0; value < 256; ++value) {
                const SwitchBlock printer = BlockOfBits(value);
                CPrinterSettings s = stale;
                if (!settings::DecodeSwitch(n, printer, context, s)) {
                    continue;  // a refused reply ends the run before any write
                }
                const SwitchBlock written = settings::EncodeSwitch(n, s, context);
                ASSERT_EQ(Text(Applied(written, printer)), Text(printer))
                    << "switch " << n << ", version " << context.version << ", "
                    << (context.dialect == Dialect::Sw ? "SW" : "MSW") << ", reader "
                    << context.msrSetting << ", written " << Text(written);
            }
        }
    }
}

TEST(WriteBackTest, ChangedFieldIsWrittenAndTheOthersKeepThePrintersCharacters) {
    const struct {
        const char* name;
        int n;
        SwitchContext context;
        const char* printer;
        FieldValues changes;
        const char* expected;
    } cases[] = {
        {"density", 1, Msw(1230), "00011000", {{&S::Density, 5}}, "22211101"},
        {"service beside a font D7 cannot show",
         8,
         Msw(1230),
         "00000001",
         {{&S::Service, 1}},
         "22210002"},
        {"font on new firmware", 8, Msw(101000), "01100011", {{&S::FontType, 1}}, "21100001"},
        {"sentinel mode on new firmware",
         8,
         Msw(101000),
         "01100011",
         {{&S::Sentinel, 2}},
         "21000011"},
        {"RF interface", 80, Msw(101000), "10000011", {{&S::m_nRfInterface, 1}}, "00000001"},
        {"sentinel mode never read in SW",
         8,
         Sw(21021),
         "00000010",
         {{&S::Sentinel, 1}},
         "20100020"},
    };
    for (const auto& c : cases) {
        CPrinterSettings s;
        ASSERT_TRUE(settings::DecodeSwitch(c.n, Block(c.printer), c.context, s)) << c.name;
        for (const auto& [field, value] : c.changes) {
            s.*field = value;
        }
        EXPECT_EQ(Text(settings::EncodeSwitch(c.n, s, c.context)), c.expected) << c.name;
    }
}

TEST(RfInterfaceCodecTest, EncodesAndDecodesTheSelection) {
    EXPECT_EQ(Text(settings::EncodeRfInterface(0)), "00000000");
    EXPECT_EQ(Text(settings::EncodeRfInterface(1)), "00000001");
    EXPECT_EQ(Text(settings::EncodeRfInterface(2)), "00000010");
    EXPECT_EQ(Text(settings::EncodeRfInterface(7)), "00000000");
    EXPECT_EQ(settings::DecodeRfInterface('1', '0'), 2);
    EXPECT_EQ(settings::DecodeRfInterface('1', '1'), 2);
    EXPECT_EQ(settings::DecodeRfInterface('0', '1'), 1);
    EXPECT_EQ(settings::DecodeRfInterface('0', '0'), 0);
}

}  // namespace
}  // namespace printdeck::test
