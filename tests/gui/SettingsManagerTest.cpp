#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "GuiTestSupport.h"
#include "ScriptedPrompter.h"
#include "app/CommSettings.h"
#include "app/ConfigStore.h"
#include "app/MainDlg.h"
#include "settings_editor/MsrSentinelDlg.h"
#include "settings_editor/SettingsDlg.h"
#include "settings_editor/StatusDlg.h"
#include "support/TempDir.h"
#include "support/VirtualPrinterFixture.h"

namespace printdeck::test {
namespace {

constexpr const char* kSaved = "Success to set VMSM configuration! \r\nPlease reset printer power.";

struct Dialect {
    const char* name;
    const char* model;
    const char* firmware;
};

void PrintTo(const Dialect& dialect, std::ostream* out) {
    *out << dialect.name;
}

const Dialect kOldMsw{"OldMsw", "_MRQ-T200", "_VER V1.23"};
const Dialect kSw{"Sw", "_MRQ-T200", "_V01.00"};
const Dialect kNewMsw{"NewMsw", "_MRQ-T300", "_V01.05"};

// Near the left edge: check boxes and radio buttons take clicks only on
// their indicator and label.
void Click(QWidget& window, const char* name) {
    QAbstractButton* button = Child<QAbstractButton>(window, name);
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
}

// The main window on a virtual printer of one dialect, with the settings
// manager's windows answered by the test.
class SettingsManagerTest : public ::testing::Test, public VirtualPrinterRunner {
protected:
    void Use(const Dialect& dialect) {
        SetModel(dialect.model);
        SetFirmware(dialect.firmware);
    }

    // Presses "Virtual Memory Switch Manager" with `edit` run in the editor
    // once it shows; returns when the whole cycle has ended.
    void RunManager(const std::function<void(CSettingsDlg&)>& edit) {
        ASSERT_TRUE(WriteCommSettings({PortTypeNetwork, PortString(), Port(), 8, 0, 0, 1}));
        CMainDlg window(m_prompter);
        window.show();
        bool editorShown = false;
        WhenModalShown<CSettingsDlg>([&](CSettingsDlg& editor) {
            editorShown = true;
            edit(editor);
        });
        Click(window, "settingsManagerButton");
        EXPECT_TRUE(editorShown);
    }

    bool WasWritten() const {
        for (const vp::CommandEvent& event : Events()) {
            if (event.handler.ends_with("setting-start")) {
                return true;
            }
        }
        return false;
    }

    std::size_t BlackMarkWrites() const {
        std::size_t writes = 0;
        for (const vp::CommandEvent& event : Events()) {
            writes += event.handler == "msw-write-switch" && event.bytes.size() > 6 &&
                      event.bytes[6] == 81;
        }
        return writes;
    }

    vp::SettingsMemory Memory() { return Printer().State().settings.Get(); }

    IsolatedFiles m_files;
    ScriptedPrompter m_prompter;
};

class SettingsManagerDialectTest : public SettingsManagerTest,
                                   public ::testing::WithParamInterface<Dialect> {};

TEST_P(SettingsManagerDialectTest, SaveWritesTheEditedValue) {
    Use(GetParam());
    RunManager([](CSettingsDlg& editor) {
        Child<QComboBox>(editor, "densityCombo")->setCurrentIndex(0);  // 150 %
        Child<QLineEdit>(editor, "timeOffEdit")->setText(QStringLiteral("30"));
        Click(editor, "saveButton");
    });

    EXPECT_EQ(Memory().Switch(1).substr(5), "011");
    EXPECT_EQ(Memory().Switch(5), "00011110");
    ASSERT_EQ(m_prompter.messages.size(), 1u);
    EXPECT_EQ(m_prompter.messages[0].text, kSaved);
    EXPECT_EQ(m_prompter.messages[0].caption, "Printdeck");
    std::uint32_t stored = 0;
    EXPECT_TRUE(CConfigStore::ReadDwordValue(kProgramKey, "Density", stored));
    EXPECT_EQ(stored, 3u);
}

TEST_P(SettingsManagerDialectTest, DefaultRestoresTheFactorySettings) {
    Use(GetParam());
    Printer().State().settings.Update([](vp::SettingsMemory& memory) {
        memory.switches[1] = {'0', '0', '0', '0', '0', '1', '1', '1'};
    });
    RunManager([](CSettingsDlg& editor) {
        Child<QComboBox>(editor, "densityCombo")->setCurrentIndex(3);
        Click(editor, "defaultButton");
    });

    EXPECT_EQ(Memory().Switch(1), "00001100");
    ASSERT_EQ(m_prompter.messages.size(), 1u);
    EXPECT_EQ(m_prompter.messages[0].text, kSaved);
    // The lists are not read: the stored density is the one the printer gave.
    std::uint32_t stored = 0;
    EXPECT_TRUE(CConfigStore::ReadDwordValue(kProgramKey, "Density", stored));
    EXPECT_EQ(stored, 7u);
}

TEST_P(SettingsManagerDialectTest, CancelWritesNothing) {
    Use(GetParam());
    RunManager([](CSettingsDlg& editor) {
        Child<QComboBox>(editor, "densityCombo")->setCurrentIndex(0);
        Click(editor, "cancelButton");
    });

    EXPECT_FALSE(WasWritten());
    EXPECT_EQ(Memory().Switch(1), "00001100");
    EXPECT_TRUE(m_prompter.messages.empty());
    std::uint32_t stored = 0;
    EXPECT_FALSE(CConfigStore::ReadDwordValue(kProgramKey, "Density", stored));
}

INSTANTIATE_TEST_SUITE_P(ThreeDialects, SettingsManagerDialectTest,
                         ::testing::Values(kOldMsw, kSw, kNewMsw),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(SettingsManagerTest, BlackMarkIsOnlyOfferedWhenThePrinterGaveAPosition) {
    Use(kNewMsw);
    Printer().State().settings.Update([](vp::SettingsMemory& memory) {
        memory.switches[81] = {'0', '0', '0', '0', '0', '0', '0', '0'};
    });
    RunManager([](CSettingsDlg& editor) {
        for (const char* radio : {"blackMarkFrontRadio", "blackMarkRearRadio"}) {
            EXPECT_FALSE(Child<QRadioButton>(editor, radio)->isEnabled());
            EXPECT_FALSE(Child<QRadioButton>(editor, radio)->isChecked());
        }
        Click(editor, "saveButton");
    });
    EXPECT_EQ(BlackMarkWrites(), 0u);
    EXPECT_EQ(Memory().Switch(81), "00000000");

    Printer().State().settings.Update([](vp::SettingsMemory& memory) {
        memory.switches[81] = {'0', '0', '0', '0', '0', '0', '0', '1'};
    });
    ClearReceived();
    RunManager([](CSettingsDlg& editor) {
        EXPECT_TRUE(Child<QRadioButton>(editor, "blackMarkFrontRadio")->isChecked());
        Click(editor, "blackMarkRearRadio");
        Click(editor, "saveButton");
    });
    EXPECT_EQ(BlackMarkWrites(), 1u);
    EXPECT_EQ(Memory().Switch(81), "00000010");
}

TEST_F(SettingsManagerTest, EditorAdaptsToTheFirmware) {
    Use(kSw);
    RunManager([](CSettingsDlg& editor) {
        EXPECT_EQ(editor.windowTitle(), "Virtual Memory Switch Manager : (fw:V01.00)");
        EXPECT_FALSE(Child<QRadioButton>(editor, "fontARadio")->isVisible());
        EXPECT_EQ(Child<QRadioButton>(editor, "fontBRadio")->text(), "A font(12x24)");
        EXPECT_FALSE(Child<QComboBox>(editor, "rfCombo")->isEnabled());
        EXPECT_EQ(Child<QComboBox>(editor, "rfCombo")->currentIndex(), -1);
        EXPECT_EQ(Child<QComboBox>(editor, "codePageCombo")->count(), 31);
        EXPECT_TRUE(Child<QCheckBox>(editor, "qrCodeCheck")->isEnabled());
        EXPECT_FALSE(Child<QLineEdit>(editor, "btPinEdit")->isEnabled());
        Click(editor, "bluetoothCheck");
        EXPECT_TRUE(Child<QLineEdit>(editor, "btPinEdit")->isEnabled());
        EXPECT_EQ(Child<QLineEdit>(editor, "btPinEdit")->text(), "4826");
        EXPECT_TRUE(Child<QRadioButton>(editor, "btMode2Radio")->isChecked());
        Click(editor, "cancelButton");
    });
}

TEST_F(SettingsManagerTest, EditorReportsRefusedValuesAndWarnsAboutBarcodes) {
    Use(kOldMsw);
    RunManager([this](CSettingsDlg& editor) {
        auto* timeOff = Child<QLineEdit>(editor, "timeOffEdit");
        timeOff->clear();
        QTest::keyClicks(timeOff, QStringLiteral("91"));
        ASSERT_FALSE(m_prompter.messages.empty());
        EXPECT_EQ(m_prompter.messages.back().text, "Please enter an integer between 0 and 90.");
        EXPECT_EQ(m_prompter.messages.back().caption, "Virtual Memory Switch Manager");
        const std::size_t reported = m_prompter.messages.size();
        Click(editor, "saveButton");
        EXPECT_EQ(m_prompter.messages.size(), reported + 1) << "Save stays refused";
        EXPECT_TRUE(editor.isVisible());

        // The printer has PDF417 checked; a second box warns, a third not.
        Click(editor, "qrCodeCheck");
        EXPECT_TRUE(m_prompter.messages.back().text.startsWith("If you choose more than 2"));
        const std::size_t warned = m_prompter.messages.size();
        Click(editor, "maxiCodeCheck");
        EXPECT_EQ(m_prompter.messages.size(), warned);
        Click(editor, "cancelButton");
    });
    EXPECT_FALSE(WasWritten());
}

TEST_F(SettingsManagerTest, SentinelCodesTypedInHexadecimalReachThePrinter) {
    Use(kNewMsw);
    Printer().State().settings.Update([](vp::SettingsMemory& memory) {
        memory.switches[8] = {'0', '1', '0', '0', '0', '0', '0', '0'};  // dynamic sentinels
    });
    RunManager([this](CSettingsDlg& editor) {
        WhenModalShown<CMsrSentinelDlg>([this](CMsrSentinelDlg& sentinels) {
            Click(sentinels, "hexCheck");
            EXPECT_EQ(Child<QCheckBox>(sentinels, "hexCheck")->text(),
                      "HEXA (ex: \\\"0A 1F 10 4C\\\")");
            EXPECT_EQ(Child<QLineEdit>(sentinels, "track1StartEdit")->text(), "");
            Child<QLineEdit>(sentinels, "track1StartEdit")->setText(QStringLiteral("25 41"));
            Child<QLineEdit>(sentinels, "track2StartEdit")->setText(QStringLiteral("3B"));
            Child<QLineEdit>(sentinels, "track3StartEdit")->setText(QStringLiteral("0 B"));
            Click(sentinels, "okButton");
            EXPECT_EQ(m_prompter.messages.back().text, "Invalid value!\r\nInvalid HEXA Format!!");
            EXPECT_TRUE(sentinels.isVisible());
            EXPECT_EQ(Child<QLineEdit>(sentinels, "track3StartEdit")->text(), "0 B");
            Child<QLineEdit>(sentinels, "track3StartEdit")->setText(QStringLiteral("3b"));
            Click(sentinels, "okButton");
        });
        Click(editor, "advanceButton");
        Click(editor, "saveButton");
    });
    EXPECT_EQ(Memory().trackStart[0], "%A");
    EXPECT_EQ(Memory().trackStart[2], ";");
    EXPECT_EQ(Memory().trackEnd[0], "");
}

TEST_F(SettingsManagerTest, FailedWriteRunKeepsTheStoreAndSaysSo) {
    Use(kNewMsw);
    RunManager([this](CSettingsDlg& editor) {
        Child<QComboBox>(editor, "densityCombo")->setCurrentIndex(0);
        SetFault("silent");
        Click(editor, "saveButton");
    });

    ASSERT_EQ(m_prompter.messages.size(), 1u);
    EXPECT_EQ(m_prompter.messages[0].text,
              "Failed to save VMSM configuration!\r\nPlease check your printer state.");
    EXPECT_EQ(m_prompter.messages[0].caption, "Printdeck");
    std::uint32_t stored = 0;
    EXPECT_FALSE(CConfigStore::ReadDwordValue(kProgramKey, "Density", stored));
}

TEST_F(SettingsManagerTest, CancelDuringTheReadRunShowsAnEmptyMessage) {
    Use(kNewMsw);
    ASSERT_TRUE(WriteCommSettings({PortTypeNetwork, PortString(), Port(), 8, 0, 0, 1}));
    CMainDlg window(m_prompter);
    window.show();
    WhenModalShown<CStatusDlg>([](CStatusDlg& status) { Click(status, "cancelButton"); });
    Click(window, "settingsManagerButton");

    ASSERT_EQ(m_prompter.messages.size(), 1u);
    EXPECT_EQ(m_prompter.messages[0].text, "");
    EXPECT_EQ(m_prompter.messages[0].caption, "Printdeck");
    EXPECT_FALSE(WasWritten());
}

}  // namespace
}  // namespace printdeck::test
