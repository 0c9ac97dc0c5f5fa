#include <gtest/gtest.h>

#include <string>

#include "RecordingClock.h"
#include "device/PrinterDevice.h"
#include "settings/PrinterSettings.h"
#include "settings_editor/SettingsCycle.h"
#include "support/TempDir.h"
#include "support/VirtualPrinterFixture.h"

namespace printdeck {
namespace {

using Outcome = CycleResult::Outcome;

// The longest reply limit of a cycle (the card-reader setting's), and the
// port read under way when it passes.
constexpr std::uint64_t kLongestReplyWaitMs = 5000 + 1000;

// A whole settings cycle (read, edit, write) against a printer that hangs up
// after every possible number of received bytes in turn.
class ConnectionLossTest : public test::VirtualPrinterTest {
protected:
    struct Run {
        CycleResult result;
        std::uint64_t elapsedMs = 0;  // on the device's clock
        bool portOpen = false;
    };

    Run RunCycle(EditChoice choice) {
        // Every pause is skipped, so a run costs only its real exchanges
        // while each deadline still sees its time pass.
        test::RecordingClock clock{0};
        CPrinterDevice device{clock};
        Connect(device);
        CPrinterSettings settings;
        CSettingsCycle cycle(settings, device);
        const std::uint64_t start = clock.TickCount();
        Run run;
        run.result = cycle.Run([choice](CPrinterSettings& record) {
            record.Density = 7;
            record.m_bBluetoothOff = 0;
            return choice;
        });
        run.elapsedMs = clock.TickCount() - start;
        run.portOpen = device.m_Port.m_bOpen != 0;
        return run;
    }

    test::IsolatedFiles files;
};

TEST_F(ConnectionLossTest, HangUpAtAnyByteOfTheCycleIsAFailureThatSavesNothing) {
    const struct {
        const char* name;
        const char* model;
        const char* firmware;
        EditChoice choice;
    } cycles[] = {
        {"MSW dialect, new firmware", "_MRQ-T300", "_V01.05", EditChoice::Save},
        {"SW dialect with sentinels", "_MRQ-T200", "_V01.03", EditChoice::Save},
        {"factory defaults", "_MRQ-T300", "_V01.05", EditChoice::Default},
    };
    for (const auto& c : cycles) {
        SCOPED_TRACE(c.name);
        SetModel(c.model);
        SetFirmware(c.firmware);
        SetFault(vp::Fault{});
        ClearReceived();
        const Run sound = RunCycle(c.choice);
        ASSERT_EQ(sound.result.outcome, Outcome::Saved);
        const std::size_t exchange = Received().size();
        const std::string storeBefore = test::ReadWholeFile(files.StorePath());

        for (std::size_t handled = 0; handled < exchange; ++handled) {
            SetFault(vp::Fault{vp::Fault::Kind::CloseAfter, static_cast<unsigned>(handled + 1)});
            const Run run = RunCycle(c.choice);
            ASSERT_NE(run.result.outcome, Outcome::Saved)
                << "hang-up after " << handled << " bytes";
            EXPECT_FALSE(run.result.text.empty()) << handled;
            EXPECT_FALSE(run.portOpen) << handled;
            EXPECT_EQ(test::ReadWholeFile(files.StorePath()), storeBefore) << handled;
            // The lost connection costs at most one reply's time limit.
            EXPECT_LE(run.elapsedMs, sound.elapsedMs + kLongestReplyWaitMs) << handled;
        }
    }
}

}  // namespace
}  // namespace printdeck
