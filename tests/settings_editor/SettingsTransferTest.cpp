#include "settings_editor/SettingsTransfer.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <string>

#include "TransferTestSupport.h"

namespace printdeck {
namespace {

using Kind = TransferOutcome::Kind;
using ::testing::ElementsAreArray;

struct Point {
    int percent;
    std::string text;
};

class SettingsTransferTest : public test::TransferFixture {
protected:
    SettingsTransferTest() {
        transfer.SetProgressCallback([this](int percent, const std::string& text) {
            points.push_back({percent, text});
            if (onPoint) {
                onPoint(percent);
            }
        });
    }

    // Starts a run and opens the port as its connecting step would, with
    // the identification facts that a group step depends on.
    void PrepareGroup(int mode, int version, int model, std::uint8_t msr = '0') {
        ASSERT_EQ(transfer.Start(mode).kind, Kind::Continue);
        ASSERT_TRUE(device.m_Port.Open());
        device.g_Getver = version;
        device.g_Model = model;
        device.m_nMsrSetting = msr;
    }

    std::size_t SleepsOf(std::uint32_t milliseconds) const {
        return static_cast<std::size_t>(
            std::count(clock.Sleeps().begin(), clock.Sleeps().end(), milliseconds));
    }

    bool AnyTextStartsWith(const std::string& prefix) const {
        return std::any_of(points.begin(), points.end(),
                           [&](const Point& point) { return point.text.starts_with(prefix); });
    }

    CSettingsTransfer transfer{&settings};
    std::vector<Point> points;
    std::function<void(int percent)> onPoint;
};

TEST_F(SettingsTransferTest, StartNamesTheConnectingStepOfEachMode) {
    const struct {
        int mode;
        TransferOutcome expected;
    } cases[] = {
        {TransferNone, TransferOutcome::Of(Kind::Cancelled)},
        {ReadFromPrinter, TransferOutcome::Next(StepOpenForRead, 100)},
        {WriteToPrinter, TransferOutcome::Next(StepOpenForWrite, 100)},
        {RestoreFactoryDefault, TransferOutcome::Next(StepFactoryDefault, 100)},
        {7, TransferOutcome::Next(StepFactoryDefault, 100)},
        {-1, TransferOutcome::Next(StepFactoryDefault, 100)},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(transfer.Start(c.mode), c.expected) << "mode " << c.mode;
    }
    EXPECT_FALSE(transfer.Run(TransferNone));
    EXPECT_EQ(transfer.m_strError, "");
    EXPECT_TRUE(points.empty());
    EXPECT_EQ(device.m_Port.m_bOpen, 0);
    EXPECT_TRUE(Received().empty());
}

TEST_F(SettingsTransferTest, ReadRunChoosesItsDialectByTheReportedVersion) {
    const struct {
        const char* model;
        const char* firmware;
        int version;
        int group;
    } cases[] = {
        {"_MRQ-T200", "_B00.99", 20991, StepReadMsw},
        {"_MRQ-T200", "_V01.00", 21000, StepReadSw},
        {"_MRQ-T300", "_V00.99", 100990, StepReadSw},
        {"_MRQ-T300", "_V01.00", 101000, StepReadMsw},
    };
    for (const auto& c : cases) {
        UsePrinter(c.model, c.firmware);
        transfer.Start(ReadFromPrinter);
        EXPECT_EQ(transfer.RunStep(StepOpenForRead), TransferOutcome::Next(c.group, 100))
            << c.firmware;
        EXPECT_EQ(device.g_Getver, c.version);
        EXPECT_EQ(transfer.m_nPercent, 15);
        device.m_Port.Close();
    }
}

TEST_F(SettingsTransferTest, WriteRunChoosesItsDialectByTheVersionTheReadFound) {
    const struct {
        int version;
        int group;
    } cases[] = {
        {20999, StepWriteMsw},
        {21000, StepWriteSw},
        {100999, StepWriteSw},
        {101000, StepWriteMsw},
    };
    for (const auto& c : cases) {
        device.g_Getver = c.version;
        transfer.Start(WriteToPrinter);
        EXPECT_EQ(transfer.RunStep(StepOpenForWrite), TransferOutcome::Next(c.group, 100))
            << c.version;
        EXPECT_EQ(transfer.m_nPercent, 5);
    }
}

struct GroupCase {
    const char* name;
    int mode;
    int step;
    int version;
    int model;
    std::uint8_t msr;
    std::vector<int> switches;  // read or written, in order (80 is the RF interface)
    int percent;                // after the group, counted from 0
};

TEST_F(SettingsTransferTest, GroupRowsFollowVersionModelAndCardReader) {
    const std::vector<int> all = {1, 2, 3, 5, 6, 7, 8};
    const GroupCase cases[] = {
        {"switch 3 skipped at 1039",
         ReadFromPrinter,
         StepReadMsw,
         1039,
         200,
         '0',
         {1, 2, 5, 6, 7, 8},
         52},
        {"switch 3 read at 1040", ReadFromPrinter, StepReadMsw, 1040, 200, '0', all, 56},
        {"switch 7 skipped at 11060",
         ReadFromPrinter,
         StepReadMsw,
         11060,
         200,
         '0',
         {1, 2, 3, 5, 6, 8},
         52},
        // Switch 81 is not read on models 200 to 202, but counts as read.
        {"no switch 81 on model 200",
         ReadFromPrinter,
         StepReadMsw,
         101000,
         200,
         '0',
         {1, 2, 3, 5, 6, 7, 8, 80},
         88},
        {"no switch 81 on model 202",
         ReadFromPrinter,
         StepReadMsw,
         101000,
         202,
         '0',
         {1, 2, 3, 5, 6, 7, 8, 80},
         88},
        {"switch 81 on model 300",
         ReadFromPrinter,
         StepReadMsw,
         101000,
         300,
         '0',
         {1, 2, 3, 5, 6, 7, 8, 81, 80},
         88},
        {"SW switch 7 skipped for reader P",
         ReadFromPrinter,
         StepReadSw,
         21000,
         200,
         'P',
         {1, 2, 3, 5, 6, 8},
         48},
        {"SW switch 7 read for reader 0", ReadFromPrinter, StepReadSw, 21000, 200, '0', all, 52},
        // The three sentinel rows count from 21021 on.
        {"SW sentinels not read at 21020", ReadFromPrinter, StepReadSw, 21020, 200, '0', all, 52},
        {"SW sentinels read at 21021", ReadFromPrinter, StepReadSw, 21021, 200, '0', all, 64},
        {"switch 3 not written at 1039",
         WriteToPrinter,
         StepWriteMsw,
         1039,
         200,
         '0',
         {1, 2, 5, 6, 7, 8},
         52},
        {"switch 3 written at 1040", WriteToPrinter, StepWriteMsw, 1040, 200, '0', all, 56},
        {"switch 7 not written at 11060",
         WriteToPrinter,
         StepWriteMsw,
         11060,
         200,
         '0',
         {1, 2, 3, 5, 6, 8},
         52},
        {"switch 81 written on model 200",
         WriteToPrinter,
         StepWriteMsw,
         101000,
         200,
         '0',
         {1, 2, 3, 5, 6, 7, 8, 81, 80},
         72},
    };
    settings.m_bBluetoothOff = 1;
    for (const GroupCase& c : cases) {
        SCOPED_TRACE(c.name);
        const bool sw = c.step == StepReadSw;
        UsePrinter("_MRQ-T200", sw ? "_V01.00" : "_VER V1.23");
        SetMsr(c.msr);
        ClearReceived();
        PrepareGroup(c.mode, c.version, c.model, c.msr);

        const int finishDelay = c.mode == WriteToPrinter ? 1000 : 100;
        EXPECT_EQ(transfer.RunStep(c.step), TransferOutcome::Next(StepFinish, finishDelay));
        SyncWithPrinter();
        const char* suffix = c.mode == WriteToPrinter ? "write-switch" : "read-switch";
        EXPECT_THAT(SwitchArguments(suffix), ElementsAreArray(c.switches));
        EXPECT_EQ(transfer.m_nPercent, c.percent);
        device.m_Port.Close();
    }
}

TEST_F(SettingsTransferTest, SwWriteForReaderPStillSendsSevenBlocksLeavingSwitch7Unchanged) {
    UsePrinter("_MRQ-T200", "_V01.00");
    settings.m_bBluetoothOff = 1;
    settings.Msr = 3;
    PrepareGroup(WriteToPrinter, 21000, 200, 'P');

    EXPECT_EQ(transfer.RunStep(StepWriteSw), TransferOutcome::Next(StepFinish, 1000));
    SyncWithPrinter();
    std::vector<vp::Bytes> frames;
    for (const vp::CommandEvent& event : Events()) {
        if (event.handler == "sw-write-switches") {
            frames.push_back(event.bytes);
        }
    }
    ASSERT_EQ(frames.size(), 1u);
    ASSERT_EQ(frames[0].size(), 6u + 56u);
    const std::string seventh(frames[0].begin() + 6 + 5 * 8, frames[0].begin() + 6 + 6 * 8);
    EXPECT_EQ(seventh, "22222222");
    EXPECT_TRUE(HandlerSaw("sw-setting-end"));
    // Nine of the ten rows count; the skipped switch 7 does not.
    EXPECT_EQ(transfer.m_nPercent, 63);
}

TEST_F(SettingsTransferTest, ReadRunOnNewFirmwareStopsCountingAtHundred) {
    UsePrinter("_MRQ-T300", "_V01.05");

    EXPECT_EQ(transfer.Start(ReadFromPrinter), TransferOutcome::Next(StepOpenForRead, 100));
    EXPECT_EQ(transfer.RunStep(StepOpenForRead), TransferOutcome::Next(StepReadMsw, 100));
    EXPECT_EQ(transfer.RunStep(StepReadMsw), TransferOutcome::Next(StepFinish, 100));
    EXPECT_EQ(transfer.RunStep(StepFinish), TransferOutcome::Of(Kind::Finished));

    ASSERT_EQ(points.size(), 100u);
    for (std::size_t i = 0; i < points.size(); ++i) {
        EXPECT_EQ(points[i].percent, static_cast<int>(i) + 1);
        EXPECT_EQ(points[i].text, "Get status : " + std::to_string(i + 1) + " %");
    }
    // 22 rows after 15 connecting points would make 103; StepFinish has nothing left.
    EXPECT_FALSE(AnyTextStartsWith("Completed."));
    EXPECT_EQ(transfer.m_strPercent, "Get status : 100 %");
    EXPECT_EQ(SleepsOf(2), 100u);
    EXPECT_EQ(transfer.m_strError, "");
    EXPECT_EQ(settings.Density, 4);
    EXPECT_EQ(settings.m_strBtPin, "4826");
}

TEST_F(SettingsTransferTest, WriteRunPausesBeforeFinishingAsTheDialectAndBluetoothSay) {
    const struct {
        const char* name;
        const char* firmware;
        int version;
        int bluetoothOff;
        int finishDelay;
        std::size_t slowPoints;
        int percentBeforeFinish;
    } cases[] = {
        {"SW without Bluetooth", "_V01.00", 21000, 1, 1000, 0, 75},
        {"SW with Bluetooth", "_V01.00", 21000, 0, 1000, 20, 95},
        // The MSW run starts its finish timer before the four-second Bluetooth row.
        {"MSW with Bluetooth", "_VER V1.23", 1230, 0, 0, 20, 81},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        UsePrinter("_MRQ-T200", c.firmware);
        settings.m_bBluetoothOff = c.bluetoothOff;
        points.clear();
        clock.ClearSleeps();
        device.g_Getver = c.version;
        transfer.Start(WriteToPrinter);
        const TransferOutcome connected = transfer.RunStep(StepOpenForWrite);
        const TransferOutcome written = transfer.RunStep(connected.nextStep);

        EXPECT_EQ(written, TransferOutcome::Next(StepFinish, c.finishDelay));
        EXPECT_EQ(SleepsOf(200), c.slowPoints);
        EXPECT_EQ(transfer.m_nPercent, c.percentBeforeFinish);
        EXPECT_EQ(transfer.RunStep(StepFinish), TransferOutcome::Of(Kind::Finished));
        EXPECT_EQ(points.back().text, "Completed....: 100 %");
        EXPECT_EQ(HandlerSaw("bluetooth-write"), c.bluetoothOff == 0);
        device.m_Port.Close();
        ClearReceived();
    }
}

TEST_F(SettingsTransferTest, UnchangedReadAndWriteBackLeavesEverySwitchAsThePrinterHadIt) {
    const struct {
        const char* name;
        const char* model;
        const char* firmware;
        const char* switch8;   // a font (D7, D8) and sentinel mode (D2, D3) no write can express
        const char* rfSwitch;  // both interfaces on, and a position the write has no field for
    } cases[] = {
        {"old MSW", "_MRQ-T200", "_VER V1.23", "00000001", "00000000"},
        {"SW", "_MRQ-T200", "_V01.03", "01100010", "00000000"},
        {"new MSW", "_MRQ-T300", "_V01.05", "01100011", "10000011"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        UsePrinter(c.model, c.firmware);
        Printer().State().settings.Update([&](vp::SettingsMemory& memory) {
            std::copy_n(c.switch8, 8, memory.switches[8].begin());
            std::copy_n(c.rfSwitch, 8, memory.switches[80].begin());
        });
        const auto switches = [this] {
            std::map<int, std::string> texts;
            const vp::SettingsMemory memory = Printer().State().settings.Get();
            for (const auto& [n, chars] : memory.switches) {
                texts[n] = memory.Switch(n);
            }
            return texts;
        };
        const auto before = switches();
        settings.m_bBluetoothOff = 1;

        ASSERT_TRUE(transfer.Run(ReadFromPrinter));
        ASSERT_TRUE(transfer.Run(WriteToPrinter));

        SyncWithPrinter();
        EXPECT_EQ(switches(), before);
        device.m_Port.Close();
    }
}

TEST_F(SettingsTransferTest, TrackWhoseSentinelsWentUnreportedKeepsThePrintersCodes) {
    UsePrinter("_MRQ-T200", "_V01.03");  // SW dialect with sentinels
    Printer().State().settings.Update([](vp::SettingsMemory& memory) {
        memory.trackStart[1] = "<";
        memory.trackEnd[1] = ">";
        memory.trackSilent[1] = true;
    });
    settings.m_bBluetoothOff = 1;
    settings.m_strTrack2Start = "stale";
    settings.m_strTrack2End = "codes";
    const auto printerTrack2 = [this] {
        SyncWithPrinter();
        const vp::SettingsMemory memory = Printer().State().settings.Get();
        return memory.trackStart[1] + "|" + memory.trackEnd[1];
    };

    ASSERT_TRUE(transfer.Run(ReadFromPrinter));
    EXPECT_EQ(settings.m_strTrack1Start, "%");
    ClearReceived();
    ASSERT_TRUE(transfer.Run(WriteToPrinter));
    EXPECT_EQ(printerTrack2(), "<|>");
    EXPECT_EQ(SwitchArguments("sentinel-start"), (std::vector<int>{'1', '3'}));

    // Codes the user chose after the read are the user's to send.
    settings.m_strTrack2Start = "S";
    settings.m_strTrack2End = "";
    ASSERT_TRUE(transfer.Run(WriteToPrinter));
    EXPECT_EQ(printerTrack2(), "S|");
}

TEST_F(SettingsTransferTest, FactoryDefaultRunCountsSlowlyToHundred) {
    EXPECT_TRUE(transfer.Run(RestoreFactoryDefault));

    EXPECT_EQ(points.size(), 100u);
    EXPECT_EQ(SleepsOf(50), 95u);
    EXPECT_EQ(points.back().text, "Set status : 100 %");
    EXPECT_TRUE(HandlerSaw("msw-setting-start"));
}

TEST_F(SettingsTransferTest, CancelTakesEffectAfterTheRunningStep) {
    onPoint = [this](int percent) {
        if (percent == 20) {
            transfer.RequestCancel();
        }
    };

    EXPECT_FALSE(transfer.Run(ReadFromPrinter));

    // The whole read group ran; the finish step did not.
    EXPECT_EQ(transfer.m_nPercent, 15 + 14 * 4);
    EXPECT_EQ(SwitchArguments("read-serial"), (std::vector<int>{1, 2, 3, 4}));
    EXPECT_FALSE(AnyTextStartsWith("Completed."));
    EXPECT_EQ(transfer.m_strError, "");
    EXPECT_EQ(transfer.RunStep(StepFinish), TransferOutcome::Of(Kind::Cancelled));
}

TEST_F(SettingsTransferTest, FailedRowEndsTheRunWithItsMessage) {
    const vp::Bytes badSwitch = {0x37, 0x22, '0', '0', '0', '0', '0', '0', '0', '0', 0x00};
    const vp::Bytes badSettingMode = {0x37, 0x20, 0x01};
    const struct {
        const char* name;
        std::function<void()> arrange;
        int mode;
        const char* message;
        int percent;
    } cases[] = {
        {"no printer on the port",
         [&] {
             device.m_nBaudRate = 1;
             device.ApplyPortSettings();
         },
         ReadFromPrinter, "Port open error!", 0},
        {"unknown model", [&] { SetModel("_XYZ-1"); }, ReadFromPrinter,
         "Printer model is not matched!", 5},
        {"MSW switch 1", [&] { ScriptNextReply(badSwitch); }, ReadFromPrinter,
         "Failed to read SW1 data!", 23},
        {"SW switch 1",
         [&] {
             SetFirmware("_V01.00");
             ScriptNextReply(badSwitch);
         },
         ReadFromPrinter, "Failed to read MSW1 data!", 23},
        {"setting mode",
         [&] {
             device.g_Getver = 1230;
             ScriptNextReply(badSettingMode);
         },
         WriteToPrinter, "Failed to set initial command!", 5},
        {"factory default", [&] { ScriptNextReply(badSettingMode); }, RestoreFactoryDefault,
         "Failed to set factory default!", 5},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        UsePrinter("_MRQ-T200", "_VER V1.23");
        Connect(device);
        c.arrange();
        transfer.m_strError.clear();

        EXPECT_FALSE(transfer.Run(c.mode));

        EXPECT_EQ(transfer.m_strError, c.message);
        EXPECT_EQ(transfer.m_nPercent, c.percent);
        EXPECT_EQ(device.m_Port.m_bOpen, 0);
    }
}

}  // namespace
}  // namespace printdeck
