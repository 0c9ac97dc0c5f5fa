#include "settings_editor/SettingsCycle.h"

#include <gtest/gtest.h>

#include <functional>

#include "TransferTestSupport.h"
#include "app/ConfigStore.h"

namespace printdeck {
namespace {

using Outcome = CycleResult::Outcome;

constexpr const char* kSaved = "Success to set VMSM configuration! \r\nPlease reset printer power.";
constexpr const char* kWriteFailed =
    "Failed to save VMSM configuration!\r\nPlease check your printer state.";

class SettingsCycleTest : public test::TransferFixture {
protected:
    std::optional<std::uint32_t> StoredDensity() const {
        std::uint32_t value = 0;
        if (!CConfigStore::ReadDwordValue(kProgramKey, "Density", value)) {
            return std::nullopt;
        }
        return value;
    }

    CycleResult RunCycle(const CSettingsCycle::EditStep& edit) {
        CSettingsCycle cycle(settings, device);
        return cycle.Run([&](CPrinterSettings& record) {
            ++edits;
            return edit(record);
        });
    }

    int edits = 0;
};

TEST_F(SettingsCycleTest, SavedCycleWritesThePrinterAndStoresTheRecord) {
    const CycleResult result = RunCycle([](CPrinterSettings& record) {
        record.Density = 7;
        record.m_bBluetoothOff = 1;
        return EditChoice::Save;
    });

    EXPECT_EQ(result.outcome, Outcome::Saved);
    EXPECT_TRUE(result.showMessage);
    EXPECT_EQ(result.text, kSaved);
    EXPECT_EQ(result.caption, "Printdeck");
    EXPECT_EQ(Printer().State().settings.Get().Switch(1).substr(5), "111");
    EXPECT_EQ(StoredDensity(), 7u);
    EXPECT_EQ(device.m_Port.m_bOpen, 0);
}

TEST_F(SettingsCycleTest, DefaultChoiceRestoresFactorySettingsAndStoresTheEditedRecord) {
    Printer().State().settings.Update([](vp::SettingsMemory& memory) {
        memory.switches[1] = {'0', '0', '0', '0', '0', '1', '1', '1'};
    });

    const CycleResult result = RunCycle([](CPrinterSettings&) { return EditChoice::Default; });

    EXPECT_EQ(result.outcome, Outcome::Saved);
    EXPECT_EQ(result.text, kSaved);
    // The printer holds its factory density again; the store keeps what the editor held.
    EXPECT_EQ(Printer().State().settings.Get().Switch(1), "00001100");
    EXPECT_EQ(StoredDensity(), 7u);
}

TEST_F(SettingsCycleTest, FailuresCloseThePortAndLeaveTheStoreAlone) {
    const struct {
        const char* name;
        std::function<void()> arrange;
        std::function<void()> duringEdit;
        Outcome outcome;
        const char* text;
        int edits;
    } cases[] = {
        {"read run", [&] { SetModel("_XYZ-1"); }, [] {}, Outcome::ReadFailed,
         "Printer model is not matched!", 0},
        // The write run's own failure text is replaced by the cycle's.
        {"write run", [] {},
         [&] {
             ScriptNextReply({0x37, 0x20, 0x01});
         },
         Outcome::WriteFailed, kWriteFailed, 1},
        {"printer gone during the write", [] {}, [&] { SetFault("close-after=1"); },
         Outcome::WriteFailed, kWriteFailed, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        UsePrinter("_MRQ-T200", "_VER V1.23");
        SetFault("none");
        edits = 0;
        c.arrange();

        const CycleResult result = RunCycle([&](CPrinterSettings& record) {
            record.Density = 7;
            c.duringEdit();
            return EditChoice::Save;
        });

        EXPECT_EQ(result.outcome, c.outcome);
        EXPECT_TRUE(result.showMessage);
        EXPECT_EQ(result.text, c.text);
        EXPECT_EQ(result.caption, "Printdeck");
        EXPECT_EQ(edits, c.edits);
        EXPECT_EQ(StoredDensity(), std::nullopt);
        EXPECT_EQ(device.m_Port.m_bOpen, 0);
    }
}

TEST_F(SettingsCycleTest, CancelledEditorEndsWithoutWritingOrMessage) {
    const CycleResult result = RunCycle([](CPrinterSettings&) { return EditChoice::Cancel; });

    EXPECT_EQ(result.outcome, Outcome::EditCancelled);
    EXPECT_FALSE(result.showMessage);
    EXPECT_FALSE(HandlerSaw("msw-setting-start"));
    EXPECT_EQ(StoredDensity(), std::nullopt);
    EXPECT_EQ(device.m_Port.m_bOpen, 0);
}

TEST_F(SettingsCycleTest, RecordStartsFromTheStoreBeforeTheRead) {
    CConfigStore::WriteDwordValue(kProgramKey, "Sentinel", 2);

    RunCycle([](CPrinterSettings& record) {
        // Firmware 1230 reports no sentinel mode, so the stored one stays.
        EXPECT_EQ(record.Sentinel, 2);
        return EditChoice::Cancel;
    });
}

}  // namespace
}  // namespace printdeck
