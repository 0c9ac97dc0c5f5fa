#include "firmware/FirmwareDlg.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <fstream>

#include "GuiTestSupport.h"
#include "ScriptedPrompter.h"
#include "VirtualPrinter.h"
#include "app/MainDlg.h"
#include "firmware/FirmwareTexts.h"
#include "gui/DemoPrinter.h"
#include "support/TempDir.h"

namespace printdeck::test {
namespace {

std::string Payload(std::size_t size) {
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<char>((i * 131 + 7) % 251);
    }
    return bytes;
}

QString WriteFirmware(const TempDir& dir, const std::string& name, const std::string& bytes) {
    const auto path = dir / name;
    std::ofstream(path, std::ios::binary) << bytes;
    return QString::fromStdString(path.string());
}

// The window as the user meets it: `printdeck --demo`, the main window's
// "Firmware Manager" button, a file chosen and sent to the demo printer.
TEST(FirmwareDlgTest, DemoPrinterReceivesTheFileUnchanged) {
    TempDir files;
    ScopedEnv store("PRINTDECK_STORE", (files / "user.reg").string());
    CDemoPrinter demo;
    QString error;
    ASSERT_TRUE(demo.Start({}, error)) << error.toStdString();
    const std::string image = Payload(9000);
    ScriptedPrompter prompter;
    prompter.openFiles.push_back(WriteFirmware(files, "printer.fls", image));

    CMainDlg mainWindow(prompter);
    mainWindow.show();
    std::vector<int> progress;
    QString status;
    WhenModalShown<CFirmwareDlg>([&](CFirmwareDlg& firmware) {
        QObject::connect(Child<QProgressBar>(firmware, "progressBar"), &QProgressBar::valueChanged,
                         [&](int value) { progress.push_back(value); });
        QSignalSpy ended(&firmware, &CFirmwareDlg::downloadEnded);
        QTest::mouseClick(Child<QPushButton>(firmware, "startButton"), Qt::LeftButton);
        EXPECT_TRUE(ended.wait(10000));
        status = Child<QLabel>(firmware, "statusLabel")->text();
        QTest::mouseClick(Child<QPushButton>(firmware, "exitButton"), Qt::LeftButton);
    });
    QTest::mouseClick(mainWindow.findChild<QPushButton*>("firmwareManagerButton"), Qt::LeftButton);

    EXPECT_EQ(prompter.fileFilters, QStringList{kFirmwareFileFilter});
    EXPECT_EQ(prompter.MessageTexts(), QStringList{kFirmwareSuccess});
    EXPECT_EQ(prompter.messages.at(0).caption, "Printdeck");
    EXPECT_EQ(status, kFirmwareFinished);
    EXPECT_EQ(progress, (std::vector<int>{45, 91, 100}));
    EXPECT_TRUE(
        WaitUntil([&] { return demo.Printer().Record().Received().size() >= image.size(); }));
    const vp::Bytes received = demo.Printer().Record().Received();
    EXPECT_EQ(std::string(received.begin(), received.end()), image);
    EXPECT_FALSE(std::filesystem::exists(files / "user.reg")) << "the user's store is untouched";
}

// A printer that takes the connection but never reads: the send stalls until
// the transport gives up, and all the while the window keeps painting and
// refuses to close.
class SilentListener {
public:
    SilentListener() {
        m_socket = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        ::bind(m_socket, reinterpret_cast<sockaddr*>(&address), length);
        ::listen(m_socket, 1);
        ::getsockname(m_socket, reinterpret_cast<sockaddr*>(&address), &length);
        m_port = ntohs(address.sin_port);
    }
    ~SilentListener() { ::close(m_socket); }
    int Port() const { return m_port; }

private:
    int m_socket = -1;
    int m_port = 0;
};

TEST(FirmwareDlgTest, SilentPrinterEndsInTheSendFailureWhileTheWindowResponds) {
    IsolatedFiles files;
    SilentListener printer;
    ScriptedPrompter prompter;
    // Larger than what the loopback socket buffers take in.
    prompter.openFiles.push_back(WriteFirmware(files.Dir(), "big.fls", Payload(48u << 20)));
    CommSettings connection;
    connection.uPortType = PortTypeNetwork;
    connection.uPort = "NET127.0.0.1";
    connection.uBaudrate = printer.Port();
    CFirmwareDlg window(prompter, connection);
    window.show();
    int ticks = 0;
    QTimer heartbeat;
    QObject::connect(&heartbeat, &QTimer::timeout, [&] { ++ticks; });
    heartbeat.start(50);
    QSignalSpy ended(&window, &CFirmwareDlg::downloadEnded);

    QTest::mouseClick(Child<QPushButton>(window, "startButton"), Qt::LeftButton);
    ASSERT_TRUE(WaitUntil([&] { return !Child<QPushButton>(window, "exitButton")->isEnabled(); }));
    window.close();
    QTest::keyClick(&window, Qt::Key_Escape);
    EXPECT_TRUE(window.isVisible()) << "no closing while sending";
    const int ticksBefore = ticks;
    ASSERT_TRUE(ended.wait(30000));

    EXPECT_GT(ticks, ticksBefore + 20) << "the window kept running its event loop";
    EXPECT_EQ(prompter.MessageTexts(), QStringList{kFirmwareSendFailed});
    EXPECT_EQ(Child<QLabel>(window, "statusLabel")->text(), kFirmwareDownloading);
    EXPECT_TRUE(Child<QPushButton>(window, "exitButton")->isEnabled());
    EXPECT_EQ(window.LastResult().outcome, FirmwareOutcome::SendFailed);
}

TEST(FirmwareDlgTest, SecondDownloadOffersTheLastFileAndEmptyFilesAreRefused) {
    IsolatedFiles files;
    ScriptedPrompter prompter;
    const QString empty = WriteFirmware(files.Dir(), "empty.fls", "");
    prompter.openFiles = {empty, QString()};
    CommSettings connection;
    connection.uPortType = PortTypeNetwork;
    connection.uPort = "NET127.0.0.1";
    connection.uBaudrate = 1;
    CFirmwareDlg window(prompter, connection);
    window.show();
    EXPECT_EQ(Child<QLabel>(window, "statusLabel")->text(), kFirmwareSelectFile);
    QSignalSpy ended(&window, &CFirmwareDlg::downloadEnded);

    QTest::mouseClick(Child<QPushButton>(window, "startButton"), Qt::LeftButton);
    ASSERT_TRUE(ended.wait(5000));
    EXPECT_EQ(prompter.MessageTexts(), QStringList{kFirmwareFileEmpty});
    EXPECT_EQ(Child<QLabel>(window, "statusLabel")->text(), kFirmwareReady);

    QTest::mouseClick(Child<QPushButton>(window, "startButton"), Qt::LeftButton);
    EXPECT_EQ(prompter.initialPaths, (QStringList{QString(), empty}));
    EXPECT_FALSE(window.IsSending()) << "cancelled file dialog: nothing happens";
}

}  // namespace
}  // namespace printdeck::test
