#include "app/MainDlg.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "GuiTestSupport.h"
#include "ScriptedPrompter.h"
#include "app/AboutDlg.h"
#include "app/CommSettings.h"
#include "app/StringTable.h"
#include "support/TempDir.h"

namespace printdeck::test {
namespace {

std::vector<DiscoveredPort> Ports(std::initializer_list<const char*> names) {
    std::vector<DiscoveredPort> ports;
    for (const char* name : names) {
        ports.push_back({name, "test line"});
    }
    return ports;
}

class MainDlgTest : public ::testing::Test {
protected:
    // A window over made-up serial lines and USB printers.
    std::unique_ptr<CMainDlg> Open() {
        PortFinder finder;
        finder.serialPorts = [this] { return m_serial; };
        finder.usbPrinters = [this] { return m_usb; };
        auto window = std::make_unique<CMainDlg>(m_prompter, finder);
        window->show();
        return window;
    }
    template <typename T>
    static T* Child(CMainDlg& window, const char* name) {
        T* child = window.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(child, nullptr) << name;
        return child;
    }
    static QString Shown(CMainDlg& window, const char* list) {
        return Child<QComboBox>(window, list)->currentText();
    }
    static void Click(CMainDlg& window, const char* button) {
        QTest::mouseClick(Child<QPushButton>(window, button), Qt::LeftButton);
    }
    static void Choose(CMainDlg& window, const char* list, int index) {
        auto* combo = Child<QComboBox>(window, list);
        combo->setCurrentIndex(index);
        emit combo->activated(index);
    }
    static void StoreChoice(const CommSettings& settings) {
        ASSERT_TRUE(WriteCommSettings(settings));
    }

    IsolatedFiles m_files;
    ScriptedPrompter m_prompter;
    std::vector<DiscoveredPort> m_serial = Ports({"ttyUSB0", "ttyS0"});
    std::vector<DiscoveredPort> m_usb;
};

TEST_F(MainDlgTest, FirstStartShowsTheSerialDefaults) {
    auto window = Open();
    EXPECT_EQ(Shown(*window, "interfaceCombo"), "Serial / RS232C");
    EXPECT_EQ(Shown(*window, "portCombo"), "ttyUSB0");
    EXPECT_EQ(Shown(*window, "baudCombo"), "115200");
    EXPECT_EQ(Shown(*window, "dataBitsCombo"), "8");
    EXPECT_EQ(Shown(*window, "parityCombo"), "NONE");
    EXPECT_EQ(Shown(*window, "stopBitsCombo"), "1");
    EXPECT_EQ(Shown(*window, "flowCombo"), "DTR/DSR");
    EXPECT_EQ(window->windowTitle(), "Printdeck for PC V2.2.3");
    EXPECT_FALSE(Child<QLineEdit>(*window, "ipAddressEdit")->isVisible());

    Click(*window, "exitButton");
    const std::optional<CommSettings> stored = ReadStoredCommSettings();
    ASSERT_TRUE(stored);
    EXPECT_EQ(*stored, (CommSettings{PortTypeSerial, "ttyUSB0", 115200, 8, 0, 0, 1}));
}

TEST_F(MainDlgTest, SerialListKeepsTheStoredLineAndTakesATypedName) {
    StoreChoice({PortTypeSerial, "rfcomm3", 9600, 8, 2, 2, 0});
    auto window = Open();
    EXPECT_EQ(Shown(*window, "portCombo"), "rfcomm3") << "kept although not present now";
    EXPECT_EQ(Shown(*window, "baudCombo"), "9600");
    EXPECT_EQ(Shown(*window, "parityCombo"), "EVEN");
    EXPECT_EQ(Shown(*window, "stopBitsCombo"), "2");
    EXPECT_EQ(Shown(*window, "flowCombo"), "NONE");

    auto* port = Child<QComboBox>(*window, "portCombo");
    port->setEditText("pts/7");
    EXPECT_EQ(window->ReadBackSettings()->uPort, "pts/7");
    port->setEditText("/etc/passwd");
    EXPECT_FALSE(window->ReadBackSettings());
    EXPECT_EQ(m_prompter.MessageTexts(), QStringList{"Invalid value!"});
}

TEST_F(MainDlgTest, WithoutSerialLinesTheFirstUartIsOffered) {
    m_serial.clear();
    auto window = Open();
    EXPECT_EQ(Shown(*window, "portCombo"), "ttyS0");
}

TEST_F(MainDlgTest, StopBitsAreStoredAsTwoAndRestored) {
    const struct {
        int stored;
        const char* shown;
    } rows[] = {{0, "1"}, {2, "2"}, {1, "2"}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.stored);
        StoreChoice({PortTypeSerial, "ttyS0", 115200, 8, 0, row.stored, 1});
        auto window = Open();
        EXPECT_EQ(Shown(*window, "stopBitsCombo"), row.shown);
    }
    auto window = Open();
    Child<QComboBox>(*window, "stopBitsCombo")->setCurrentIndex(1);
    Click(*window, "exitButton");
    EXPECT_EQ(ReadStoredCommSettings()->uStopbit, 2);
}

TEST_F(MainDlgTest, StoredNetworkPortIsShownAndKeptByExit) {
    StoreChoice({PortTypeNetwork, "NET192.168.1.20", 9200, 8, 0, 0, 1});
    auto window = Open();
    EXPECT_EQ(Shown(*window, "interfaceCombo"), "TCP/IP");
    EXPECT_EQ(Child<QLineEdit>(*window, "ipAddressEdit")->text(), "192.168.1.20");
    EXPECT_EQ(Child<QLineEdit>(*window, "tcpPortEdit")->text(), "9200");
    EXPECT_FALSE(Child<QComboBox>(*window, "portCombo")->isVisible());
    EXPECT_FALSE(Child<QComboBox>(*window, "parityCombo")->isEnabled());

    Click(*window, "exitButton");
    EXPECT_EQ(ReadStoredCommSettings()->uBaudrate, 9200);
    EXPECT_EQ(ReadStoredCommSettings()->uPort, "NET192.168.1.20");
}

TEST_F(MainDlgTest, NetworkFieldsTakeOnlyAddressesAndPorts) {
    StoreChoice({PortTypeNetwork, "NET10.0.0.1", 9100, 8, 0, 0, 1});
    const struct {
        const char* address;
        const char* port;
        bool accepted;
    } rows[] = {
        {"10.0.0.1", "9100", true},       {"255.255.255.255", "1", true},
        {"10.0.0", "9100", false},        {"256.1.1.1", "9100", false},
        {"10.0.0.1", "0", false},         {"10.0.0.1", "65536", false},
        {"printer.local", "9100", false},
    };
    auto window = Open();
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.address) + ":" + row.port);
        Child<QLineEdit>(*window, "ipAddressEdit")->setText(row.address);
        Child<QLineEdit>(*window, "tcpPortEdit")->setText(row.port);
        m_prompter.messages.clear();
        EXPECT_EQ(window->ReadBackSettings().has_value(), row.accepted);
        EXPECT_EQ(m_prompter.messages.size(), row.accepted ? 0u : 1u);
    }
    Child<QLineEdit>(*window, "ipAddressEdit")->setText("10.0.0");
    Click(*window, "exitButton");
    EXPECT_TRUE(window->isVisible()) << "an invalid address is not stored";
    EXPECT_EQ(ReadStoredCommSettings()->uPort, "NET10.0.0.1");
}

TEST_F(MainDlgTest, UsbWithoutPrinterFallsBackToSerialAfterTheMessage) {
    auto window = Open();
    Choose(*window, "interfaceCombo", PortTypeUsb);
    ASSERT_EQ(m_prompter.messages.size(), 1u);
    EXPECT_EQ(m_prompter.messages[0].text, "Not connected USB printer!");
    EXPECT_EQ(m_prompter.messages[0].caption, "Printdeck");
    EXPECT_EQ(Shown(*window, "interfaceCombo"), "Serial / RS232C");
    EXPECT_EQ(Shown(*window, "baudCombo"), "115200");
    EXPECT_TRUE(Child<QComboBox>(*window, "baudCombo")->isEnabled());
}

TEST_F(MainDlgTest, UsbPrintersAreNumberedAndTheStoredOneIsSelected) {
    m_usb = {{"/dev/usb/lp0", ""}, {"/dev/usb/lp1", ""}, {"/dev/usb/lp4", ""}};
    StoreChoice({PortTypeUsb, "/dev/usb/lp1", 115200, 8, 0, 0, 1});
    auto window = Open();
    auto* ports = Child<QComboBox>(*window, "portCombo");
    ASSERT_EQ(ports->count(), 3);
    EXPECT_TRUE(ports->itemText(0).startsWith("USB01"));
    EXPECT_TRUE(ports->itemText(2).startsWith("USB03"));
    EXPECT_TRUE(ports->itemText(2).contains("/dev/usb/lp4"));
    EXPECT_EQ(ports->currentIndex(), 1);
    EXPECT_FALSE(Child<QComboBox>(*window, "baudCombo")->isEnabled());
    EXPECT_EQ(window->ReadBackSettings()->uPort, "/dev/usb/lp1");

    StoreChoice({PortTypeUsb, "/dev/usb/lp9", 115200, 8, 0, 0, 1});
    auto again = Open();
    EXPECT_EQ(Child<QComboBox>(*again, "portCombo")->currentIndex(), 0) << "gone: the first";
}

TEST_F(MainDlgTest, CloseBoxAndEscapeKeepTheStoredSettings) {
    const CommSettings stored{PortTypeNetwork, "NET10.1.2.3", 9101, 8, 0, 0, 1};
    StoreChoice(stored);
    {
        auto window = Open();
        Choose(*window, "interfaceCombo", PortTypeSerial);
        window->close();
        EXPECT_EQ(window->result(), QDialog::Rejected);
    }
    {
        auto window = Open();
        Choose(*window, "interfaceCombo", PortTypeSerial);
        QTest::keyClick(window.get(), Qt::Key_Escape);
        EXPECT_FALSE(window->isVisible());
    }
    EXPECT_EQ(ReadStoredCommSettings(), stored);
}

TEST_F(MainDlgTest, AboutBoxOpensFromF1AndTheContextMenu) {
    auto window = Open();
    auto* about = window->findChild<QAction*>("aboutAction");
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(about->text(), "&About Printdeck");
    EXPECT_EQ(about->shortcut(), QKeySequence(QKeySequence::HelpContents));
    EXPECT_TRUE(window->actions().contains(about));
    EXPECT_EQ(window->contextMenuPolicy(), Qt::ActionsContextMenu);

    QString shownTitle;
    WhenModalShown<CAboutDlg>([&](CAboutDlg& box) {
        shownTitle = box.windowTitle();
        box.accept();
    });
    QApplication::setActiveWindow(window.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    QTest::keyClick(window.get(), Qt::Key_F1);
    EXPECT_EQ(shownTitle, "About Printdeck");
}

}  // namespace
}  // namespace printdeck::test
