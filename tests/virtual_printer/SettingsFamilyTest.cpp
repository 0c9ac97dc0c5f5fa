#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "LoopbackClient.h"
#include "SettingsHandlers.h"
#include "support/VirtualPrinterFixture.h"

namespace printdeck::test {
namespace {

using namespace std::chrono_literals;
using vp::Bytes;
using vp::CommandEvent;
using vp::ToBytes;

Bytes Cat(std::initializer_list<Bytes> parts) {
    Bytes joined;
    for (const Bytes& part : parts) {
        joined.insert(joined.end(), part.begin(), part.end());
    }
    return joined;
}

const Bytes kMsw{0x1D, 0x28, 0x45};
const Bytes kSw{0x08, 0x5E, 0x45};

Bytes ReadSwitch(const Bytes& prefix, int n) {
    return Cat({prefix, {0x02, 0x00, 0x04, static_cast<std::uint8_t>(n)}});
}

Bytes SwitchReply(const std::string& digits) {
    return Cat({{0x37, 0x21}, ToBytes(digits), {0x00}});
}

enum class Kind { Msw, Sw, NewMsw };

class SettingsFamilyTest : public VirtualPrinterTest {
protected:
    void Make(Kind kind) {
        SetModel(kind == Kind::NewMsw ? "_MRQ-T300" : "_MRQ-T200");
        SetFirmware(kind == Kind::Msw ? "_VER V1.23" : kind == Kind::Sw ? "_V01.00" : "_V01.05");
    }

    // Sends commands on the connection and returns the reply bytes.
    Bytes Ask(const Bytes& commands, std::size_t count) {
        EXPECT_TRUE(m_client.Write(commands));
        Bytes reply = m_client.Read(count, 1500ms);
        EXPECT_TRUE(m_client.Quiet(100ms)) << "more bytes than expected";
        return reply;
    }

    vp::SettingsMemory Memory() { return Printer().State().settings.Get(); }

    LoopbackClient m_client{Port()};
};

TEST(SettingsDialectTest, FirmwareReplyChoosesTheDialectAsTheHostDoes) {
    EXPECT_FALSE(vp::SpeaksSwDialect({"_MRQ-T200", "_VER V1.23"}));
    EXPECT_TRUE(vp::SpeaksSwDialect({"_MRQ-T200", "_V01.00"}));
    EXPECT_TRUE(vp::SpeaksSwDialect({"_KT 220", "_V01.00"}));
    EXPECT_FALSE(vp::SpeaksSwDialect({"_MRQ-T300", "_V01.05"}));
}

struct AnswerRow {
    const char* name;
    Kind printer;
    Bytes command;
    Bytes reply;
};

class AnswerTest : public SettingsFamilyTest, public ::testing::WithParamInterface<AnswerRow> {};

TEST_P(AnswerTest, AnswersFromItsMemory) {
    Make(GetParam().printer);
    EXPECT_EQ(Ask(GetParam().command, GetParam().reply.size()), GetParam().reply);
}

INSTANTIATE_TEST_SUITE_P(
    Settings, AnswerTest,
    ::testing::Values(
        AnswerRow{"MswSettingStart",
                  Kind::Msw,
                  Cat({kMsw, {0x03, 0x00, 0x01, 'I', 'N'}}),
                  {0x37, 0x20, 0x00}},
        AnswerRow{"SwSettingStart", Kind::Sw, Cat({kSw, {0x01, 0x00, 0x01}}), {0x37, 0x20, 0x00}},
        AnswerRow{"MswSwitch", Kind::Msw, ReadSwitch(kMsw, 1), SwitchReply("00001100")},
        AnswerRow{"SwSwitch", Kind::Sw, ReadSwitch(kSw, 7), SwitchReply("01110000")},
        AnswerRow{"BlackMarkSwitch", Kind::NewMsw, ReadSwitch(kMsw, 81), SwitchReply("00000001")},
        AnswerRow{"RfInterfaceSwitch", Kind::NewMsw, ReadSwitch(kMsw, 80), SwitchReply("00000000")},
        AnswerRow{"NoSuchSwitch", Kind::Msw, ReadSwitch(kMsw, 4), {}},
        AnswerRow{"MswSerialRate", Kind::Msw, Cat({kMsw, {0x02, 0x00, 0x0C, 0x01}}),
                  Cat({{0x37, 0x33, '1', 0x1F}, ToBytes("115200"), {0x00}})},
        AnswerRow{"SwSerialDataBits",
                  Kind::Sw,
                  Cat({kSw, {0x02, 0x00, 0x0C, 0x04}}),
                  {0x37, 0x33, '4', 0x1F, '8', 0x00}},
        AnswerRow{
            "BluetoothMode", Kind::NewMsw, {0x1F, 0x1F, 0x69, 'c'}, {0x37, 0x42, 'c', '2', 0}},
        AnswerRow{"BluetoothName",
                  Kind::NewMsw,
                  {0x1F, 0x1F, 0x69, 'd'},
                  Cat({{0x37, 0x42, 'd'}, ToBytes("MRQ-T200"), {0x00}})},
        AnswerRow{"Sentinels",
                  Kind::Sw,
                  {0x08, 0x4D, 0x53, 0x02, 0x00, 0x34, '2'},
                  {0x37, 0x81, '2', ';', 0x1F, '?', 0x00}},
        AnswerRow{"OtherDialectIsIgnored", Kind::Sw, ReadSwitch(kMsw, 1), {}},
        AnswerRow{"OtherDialectIsIgnoredToo", Kind::NewMsw, ReadSwitch(kSw, 1), {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SettingsFamilyTest, OtherDialectsCommandIsRecordedAsUnknown) {
    Make(Kind::Sw);
    Ask(Cat({ReadSwitch(kMsw, 1), ReadSwitch(kSw, 1)}), 11);
    ASSERT_TRUE(WaitForEvents(2));
    const auto events = Events();
    EXPECT_EQ(events.front().kind, CommandEvent::Kind::Unknown);
    EXPECT_EQ(events.back().handler, "sw-read-switch");
}

TEST_F(SettingsFamilyTest, MswWritesChangeOnlyThePositionsTheyCarry) {
    Make(Kind::Msw);
    const Bytes write = Cat({kMsw, {0x0B, 0x00, 0x03, 0x01}, ToBytes("2210x222")});
    EXPECT_EQ(Ask(Cat({write, ReadSwitch(kMsw, 1)}), 11), SwitchReply("00101100"));
}

TEST_F(SettingsFamilyTest, SwWriteCarriesSevenBlocksInOrder) {
    Make(Kind::Sw);
    Bytes write = Cat({kSw, {0x39, 0x00, 0x03}});
    for (const char* block :
         {"11111111", "22222222", "22222222", "22222222", "22222222", "00000000", "22222221"}) {
        write = Cat({write, ToBytes(block)});
    }
    Ask(write, 0);
    ASSERT_TRUE(WaitForEvents(1));
    EXPECT_EQ(Memory().Switch(1), "11111111");
    EXPECT_EQ(Memory().Switch(2), "00000000");
    EXPECT_EQ(Memory().Switch(7), "00000000");
    EXPECT_EQ(Memory().Switch(8), "00000001");
}

TEST_F(SettingsFamilyTest, SerialBluetoothAndSentinelWritesAreKept) {
    Make(Kind::NewMsw);
    Ask(Cat({Cat({kMsw, {0x06, 0x00, 0x0B, 0x01}, ToBytes("9600")}),
             Cat({kMsw, {0x03, 0x00, 0x0B, 0x02, '1'}}),
             Cat({{0x1F, 0x1F, 0x70, '0', '3'}, ToBytes("12\rTill\r")}),
             Cat({{0x08, 0x4D, 0x53, 0x04, 0x00, 0x32, '1'}, ToBytes("AB")}),
             {0x08, 0x4D, 0x53, 0x03, 0x00, 0x33, '1', 0x00}}),
        0);
    ASSERT_TRUE(WaitForEvents(5));
    const vp::SettingsMemory memory = Memory();
    EXPECT_EQ(memory.baudrate, "9600");
    EXPECT_EQ(memory.parity, '1');
    EXPECT_EQ(memory.btSecurity, '0');
    EXPECT_EQ(memory.btConnectionMode, '3');
    EXPECT_EQ(memory.btPin, "12");
    EXPECT_EQ(memory.btName, "Till");
    EXPECT_EQ(memory.trackStart[0], "AB");
    EXPECT_EQ(memory.trackEnd[0], "");
}

TEST_F(SettingsFamilyTest, SwSerialWriteSplitsRateAndDigits) {
    Make(Kind::Sw);
    Ask(Cat({kSw, {0x09, 0x00, 0x0B}, ToBytes("57600107")}), 0);
    ASSERT_TRUE(WaitForEvents(1));
    const vp::SettingsMemory memory = Memory();
    EXPECT_EQ(memory.baudrate, "57600");
    EXPECT_EQ(memory.parity, '1');
    EXPECT_EQ(memory.flowControl, '0');
    EXPECT_EQ(memory.dataBits, '7');
}

TEST_F(SettingsFamilyTest, ScriptedReplyAnswersTheNextSettingsCommandOnce) {
    Make(Kind::Msw);
    Printer().State().settings.Update([](vp::SettingsMemory& memory) {
        memory.scriptedReply = Bytes{0x37, 0x22, 0x00};
    });
    EXPECT_EQ(Ask(ReadSwitch(kMsw, 1), 3), (Bytes{0x37, 0x22, 0x00}));
    EXPECT_EQ(Ask(ReadSwitch(kMsw, 1), 11), SwitchReply("00001100"));
}

TEST_F(SettingsFamilyTest, RepliesTakeTheFaultsShape) {
    Make(Kind::Msw);
    SetFault("no-terminator");
    EXPECT_EQ(Ask(ReadSwitch(kMsw, 1), 10), Cat({{0x37, 0x21}, ToBytes("00001100")}));
}

}  // namespace
}  // namespace printdeck::test
