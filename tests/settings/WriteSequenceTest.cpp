#include <gtest/gtest.h>

#include <string>

#include "RecordFields.h"
#include "SettingsOverTcp.h"
#include "app/ConfigStore.h"
#include "support/TempDir.h"

namespace printdeck::test {
namespace {

constexpr int kSwitches[] = {1, 2, 3, 5, 6, 7, 8};

const vp::Bytes kSwWriteHeader{0x08, 0x5E, 0x45, 0x39, 0x00, 0x03};

TEST_F(SettingsOverTcp, SwWriteOfTheLoadDefaultsIsOneSevenBlockCommand) {
    IsolatedFiles files;
    settings.LoadFromStore(kProgramKey);
    Use(PrinterKind::Sw);
    for (int n : kSwitches) {
        ASSERT_EQ(settings.WriteSw(n), RC_OK) << n;
    }
    const vp::Bytes sent = Sent(6 + 56);
    ASSERT_EQ(sent.size(), 62u);
    EXPECT_EQ(vp::Bytes(sent.begin(), sent.begin() + 6), kSwWriteHeader);
    EXPECT_EQ(std::string(sent.begin() + 6, sent.begin() + 14), "22200100");
    ASSERT_TRUE(Eventually([&] { return Memory().Switch(1) == "00000100"; }));
    EXPECT_EQ(Memory().Switch(3), "00001001");
}

// With a 'P' card reader the run leaves switch 7 alone; the SW command still
// announces seven blocks, so the seventh must be there or the printer reads
// the next command as switch data.
TEST_F(SettingsOverTcp, SwitchSevenLeftOutStillSendsItsBlockUnchanged) {
    Use(PrinterKind::Sw, 'P');
    const std::string switch7 = Memory().Switch(7);
    settings.Baudrate = 9600;
    ASSERT_EQ(settings.BeginSwSetting(), RC_OK);
    for (int n : kSwitches) {
        ASSERT_EQ(n == 7 ? settings.WriteSwUnchanged(7) : settings.WriteSw(n), RC_OK) << n;
    }
    ASSERT_EQ(settings.WriteSwSerial(), RC_OK);
    ASSERT_EQ(settings.EndSwSetting(), RC_OK);
    const vp::Bytes sent = Sent(6 + 62 + 13 + 6);
    ASSERT_EQ(sent.size(), 87u);
    // Begin, header, then blocks 1, 2, 3, 5, 6 before the seventh.
    const auto block7 = sent.begin() + 6 + 6 + 5 * 8;
    EXPECT_EQ(std::string(block7, block7 + 8), "22222222");
    ASSERT_TRUE(Eventually([&] { return !Memory().settingMode; }));
    EXPECT_EQ(Memory().baudrate, "9600");
    EXPECT_EQ(Memory().Switch(7), switch7);
}

TEST_F(SettingsOverTcp, SwitchSevenSimplyLeftOutSwallowsTheNextCommand) {
    Use(PrinterKind::Sw, 'P');
    settings.Baudrate = 9600;
    ASSERT_EQ(settings.BeginSwSetting(), RC_OK);
    for (int n : kSwitches) {
        if (n != 7) {
            ASSERT_EQ(settings.WriteSw(n), RC_OK) << n;
        }
    }
    ASSERT_EQ(settings.WriteSwSerial(), RC_OK);
    ASSERT_EQ(settings.EndSwSetting(), RC_OK);
    Sent(6 + 54 + 13 + 6);
    ASSERT_TRUE(Eventually([&] { return !Memory().settingMode; }));
    EXPECT_EQ(Memory().baudrate, "115200") << "the printer took the serial command as switch data";
}

// Everything written in one MSW run comes back from the printer unchanged.
TEST_F(SettingsOverTcp, MswWriteRunReadsBackTheSameRecord) {
    Use(PrinterKind::NewMsw, '9');
    settings.Density = 6;
    settings.Speed = 1;
    settings.LCharMode = 1;
    settings.CodePage = 45;
    settings.QrCode = 0;
    settings.MaxiCode = 1;
    settings.DataMatrix = 1;
    settings.Pdf417 = 0;
    settings.TimeOff = 100;
    settings.TimeSave = 222;
    settings.Msr = 11;
    settings.Sentinel = 2;
    settings.Service = 1;
    settings.BeepPaper = 1;
    settings.FontType = 2;
    settings.BlackMarkSensor = 0x3031;
    settings.Baudrate = 38400;
    settings.Parity = 1;
    settings.Flowcontrol = 1;
    settings.Databit = 7;
    settings.m_strTrack1Start = "%B";
    settings.m_strTrack2Start = ";";
    settings.m_strTrack2End = "?";
    settings.m_strTrack3Start = "+";
    settings.m_nRfInterface = 1;
    settings.m_nBtSecurity = 1;
    settings.m_nBtConnMode = 2;
    settings.m_strBtPin = "0000";
    settings.m_strBtName = "Till 3";

    ASSERT_EQ(settings.BeginMswSetting(), RC_OK);
    for (int n : {1, 2, 3, 5, 6, 7, 8, 81}) {
        ASSERT_EQ(settings.WriteMsw(n), RC_OK) << n;
    }
    for (int n = 1; n <= 4; ++n) {
        ASSERT_EQ(settings.WriteMswSerial(n), RC_OK) << n;
    }
    for (int track = 1; track <= 3; ++track) {
        ASSERT_EQ(settings.WriteSentinel(track), RC_OK) << track;
    }
    ASSERT_EQ(settings.WriteRfInterface(), RC_OK);
    ASSERT_EQ(settings.EndMswSetting(), RC_OK);
    ASSERT_EQ(settings.WriteBluetooth(), RC_OK);
    ASSERT_TRUE(Eventually([&] { return Memory().btName == "Till 3"; }));

    CPrinterSettings back;
    back.m_pDevice = &device;
    for (int n : {1, 2, 3, 5, 6, 7, 8, 81}) {
        ASSERT_EQ(back.ReadMsw(n), RC_OK) << n;
    }
    for (int n = 1; n <= 4; ++n) {
        ASSERT_EQ(back.ReadMswSerial(n), RC_OK) << n;
    }
    for (int track = 1; track <= 3; ++track) {
        ASSERT_EQ(back.ReadSentinel(track), RC_OK) << track;
    }
    ASSERT_EQ(back.ReadRfInterface(), RC_OK);
    for (int item : {'c', 'd', 'k', 's'}) {
        ASSERT_EQ(back.ReadBluetooth(item), RC_OK) << item;
    }
    EXPECT_EQ(RecordFields(back), RecordFields(settings));
}

struct FactoryRow {
    const char* name;
    const char* model;
    const char* firmware;
    std::size_t length;
    std::size_t unknownBytes;  // bytes the printer has no command for
    const char* bluetoothName;
    const char* track1Start;  // the printer's own until the block sets it
};

class FactoryDefaultTest : public SettingsOverTcp,
                           public ::testing::WithParamInterface<FactoryRow> {};

TEST_P(FactoryDefaultTest, SendsTheModelsBlockAndThePrinterTakesItWhole) {
    const FactoryRow& row = GetParam();
    SetModel(row.model);
    SetFirmware(row.firmware);
    ASSERT_EQ(device.m_Port.Open(), 1);
    ASSERT_EQ(device.chk_OpenCheck(CheckModel), RC_OK);
    ASSERT_EQ(device.chk_OpenCheck(CheckVersion), RC_OK);
    ChangeMemory([](vp::SettingsMemory& memory) {
        memory.switches[5] = {'1', '1', '1', '1', '1', '1', '1', '1'};
        memory.btName = "changed";
        memory.baudrate = "9600";
    });
    ClearReceived();

    EXPECT_EQ(settings.SetFactoryDefault(), RC_OK);
    EXPECT_TRUE(PortOpen());
    const vp::Bytes sent = Sent(row.length);
    EXPECT_EQ(sent.size(), row.length);
    ASSERT_TRUE(Eventually([&] { return Memory().btName == row.bluetoothName; }));
    const vp::SettingsMemory memory = Memory();
    EXPECT_EQ(memory.Switch(5), "00001111");
    EXPECT_EQ(memory.Switch(3), "00000001");
    EXPECT_EQ(memory.baudrate, "115200");
    EXPECT_EQ(memory.btPin, "4826");
    EXPECT_FALSE(memory.settingMode);
    EXPECT_EQ(memory.trackStart[0], row.track1Start);
    std::size_t unknown = 0;
    for (const vp::CommandEvent& event : Events()) {
        if (event.kind != vp::CommandEvent::Kind::Command) {
            unknown += event.bytes.size();
        }
    }
    EXPECT_EQ(unknown, row.unknownBytes);
}

INSTANTIATE_TEST_SUITE_P(
    Models, FactoryDefaultTest,
    ::testing::Values(FactoryRow{"T200Msw", "_MRQ-T200", "_VER V1.23", 178, 0, "MRQ-T200", "%"},
                      FactoryRow{"T200Sw", "_MRQ-T200", "_V01.00", 108, 0, "MRQ-T200", "%"},
                      FactoryRow{"KT220", "_KT 220", "_V01.00", 108, 2, "KT 220", "%"},
                      FactoryRow{"T300", "_MRQ-T300", "_V01.05", 250, 0, "MRQ-T200", "START1"},
                      FactoryRow{"T200II", "_MRQ-T200II", "_V01.05", 250, 0, "MRQ-T200", "START1"}),
    [](const auto& info) { return std::string(info.param.name); });

// No block for this model: an empty write, and no answer within the budget.
TEST_F(SettingsOverTcp, FactoryDefaultForAModelWithoutBlockFailsForLackOfAnswer) {
    SetModel("_MRQ-T200W");
    ASSERT_EQ(device.m_Port.Open(), 1);
    ASSERT_EQ(device.chk_OpenCheck(CheckModel), RC_OK);
    ASSERT_EQ(device.g_Model, MODEL_T200W);
    ClearReceived();
    EXPECT_EQ(settings.SetFactoryDefault(), RC_NO_REPLY);
    EXPECT_FALSE(PortOpen());
    EXPECT_TRUE(Received().empty());
}

}  // namespace
}  // namespace printdeck::test
