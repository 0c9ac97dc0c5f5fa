#include <gtest/gtest.h>

#include <QComboBox>
#include <QGroupBox>
#include <QPushButton>
#include <set>

#include "ScriptedPrompter.h"
#include "app/MainDlg.h"
#include "app/StringTable.h"
#include "gui/PrintdeckApp.h"
#include "support/TempDir.h"

namespace printdeck::test {
namespace {

// The build puts the catalogues at the top of the build tree, beside the program.
const QStringList kBuiltCatalogues = {QStringLiteral(PRINTDECK_BINARY_DIR)};

TEST(LanguageTest, GermanLocaleShowsGermanWindowsAndMessages) {
    IsolatedFiles files;
    CPrintdeckApp app;
    ASSERT_TRUE(app.InstallLanguage("German", "de_DE.UTF-8", kBuiltCatalogues));
    ScriptedPrompter prompter;
    PortFinder finder;
    finder.serialPorts = [] { return std::vector<DiscoveredPort>{}; };
    finder.usbPrinters = [] { return std::vector<DiscoveredPort>{}; };
    CMainDlg window(prompter, finder);

    EXPECT_EQ(window.windowTitle(), "Printdeck für PC V2.2.3");
    EXPECT_EQ(window.findChild<QPushButton*>("nvImageManagerButton")->text(), "&NV-Bild-Manager");
    EXPECT_EQ(window.findChild<QGroupBox*>("descriptionGroup")->title(), "Beschreibung");
    EXPECT_EQ(LoadString(IDS_PORT_OPEN_ERROR), "Fehler beim Öffnen des Anschlusses!");

    window.findChild<QComboBox*>("interfaceCombo")->setCurrentIndex(PortTypeUsb);
    emit window.findChild<QComboBox*>("interfaceCombo")->activated(PortTypeUsb);
    EXPECT_EQ(prompter.MessageTexts(), QStringList{"Kein USB-Drucker angeschlossen!"});
}

TEST(LanguageTest, EveryStringTableEntryHasAGermanText) {
    CPrintdeckApp app;
    ASSERT_TRUE(app.InstallLanguage("German", "de_DE.UTF-8", kBuiltCatalogues));
    // Names of code pages and modules read the same in German.
    const std::set<int> same = {IDS_CODEPAGE_KATAKANA, IDS_CODEPAGE_PC858, IDS_CODEPAGE_FARSI,
                                IDS_CODEPAGE_KHMER,    IDS_BLUETOOTH,      IDS_WLAN,
                                IDS_COLUMN_NAME,       IDS_PRINTDECK};
    for (const StringTableEntry& entry : BuiltInStringTable()) {
        if (!same.contains(entry.id)) {
            EXPECT_NE(LoadString(entry.id), entry.text) << "id " << entry.id;
        }
    }
}

TEST(LanguageTest, MissingCatalogueKeepsEnglishSilently) {
    TempDir empty;
    CPrintdeckApp app;
    EXPECT_FALSE(app.InstallLanguage("German", "de_DE", {QString::fromStdString(empty.Path())}));
    EXPECT_FALSE(app.InstallLanguage("", "nl_NL", kBuiltCatalogues));
    EXPECT_EQ(LoadString(IDS_PORT_OPEN_ERROR), "Port open error!");
}

}  // namespace
}  // namespace printdeck::test
