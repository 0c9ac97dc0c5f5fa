#include "ScreenshotCatalogue.h"

#include <QProgressBar>

#include "app/AboutDlg.h"
#include "app/MainDlg.h"
#include "firmware/FirmwareDlg.h"

namespace printdeck::screenshots {
namespace {

// Serial lines and USB printers as a typical machine has them.
PortFinder TypicalMachine() {
    PortFinder finder;
    finder.serialPorts = [] {
        return std::vector<DiscoveredPort>{{"ttyUSB0", ""}, {"ttyACM0", ""}, {"rfcomm0", ""}};
    };
    finder.usbPrinters = [] { return std::vector<DiscoveredPort>{{"/dev/usb/lp0", ""}}; };
    return finder;
}

std::unique_ptr<QWidget> MainWindow(CScreenshotSession& session) {
    session.Demo();
    return std::make_unique<CMainDlg>(session.Prompter(), TypicalMachine());
}

std::unique_ptr<QWidget> MainWindowOnSerialLine(CScreenshotSession& session) {
    session.Demo();
    WriteCommSettings({PortTypeSerial, "ttyACM0", 38400, 8, 0, 0, 1});
    return std::make_unique<CMainDlg>(session.Prompter(), TypicalMachine());
}

std::unique_ptr<QWidget> FirmwareWindow(CScreenshotSession& session) {
    CommSettings connection;
    connection.uPortType = PortTypeNetwork;
    connection.uPort = "NET127.0.0.1";
    connection.uBaudrate = session.Demo().Port();
    auto window = std::make_unique<CFirmwareDlg>(session.Prompter(), connection);
    window->findChild<QProgressBar*>(QStringLiteral("progressBar"))->setValue(45);
    return window;
}

}  // namespace

CDemoPrinter& CScreenshotSession::Demo(const CDemoPrinter::Identity& identity) {
    for (const auto& demo : m_demos) {
        if (demo->GetIdentity() == identity) {
            return *demo;
        }
    }
    auto demo = std::make_unique<CDemoPrinter>();
    QString error;
    demo->Start(identity, error);
    m_demos.push_back(std::move(demo));
    return *m_demos.back();
}

std::vector<Scene> Scenes() {
    return {
        {QStringLiteral("main-window"), MainWindow},
        {QStringLiteral("main-window-serial"), MainWindowOnSerialLine},
        {QStringLiteral("about-box"),
         [](CScreenshotSession&) { return std::make_unique<CAboutDlg>(); }},
        {QStringLiteral("firmware-manager"), FirmwareWindow},
    };
}

}  // namespace printdeck::screenshots
