#include "ScreenshotCatalogue.h"

#include <QGroupBox>
#include <QLabel>
#include <QPainter>
#include <QProgressBar>
#include <QTableWidget>

#include "VirtualPrinter.h"
#include "app/AboutDlg.h"
#include "app/ConfigStore.h"
#include "app/MainDlg.h"
#include "app/StringTable.h"
#include "device/PrinterDevice.h"
#include "firmware/FirmwareDlg.h"
#include "gui/GuiText.h"
#include "nvimage/NvAddressDlg.h"
#include "nvimage/NvImageDlg.h"
#include "nvimage/NvOperationSequence.h"
#include "nvimage/NvProgressDlg.h"
#include "nvimage/QtBmpLoader.h"
#include "settings/PrinterSettings.h"
#include "settings_editor/EditorChoices.h"
#include "settings_editor/MsrSentinelDlg.h"
#include "settings_editor/SettingsDlg.h"
#include "settings_editor/StatusDlg.h"

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

// A demo printer of the indexed NV image family.
const CDemoPrinter::Identity kIndexedDemo{"_MRQ-T200", "_S02.10"};

// The NV image manager's model for one scene; the scene's window owns it.
class CNvSceneModel : public QObject {
public:
    explicit CNvSceneModel(CDemoPrinter& demo) {
        m_device.m_strPortName = "NET127.0.0.1";
        m_device.m_nBaudRate = demo.Port();
        m_device.ApplyPortSettings();
        m_list.m_pDevice = &m_device;
        m_list.SetBitmapLoader(&m_loader);
    }
    ~CNvSceneModel() override { m_device.m_Port.Close(); }

    CPrinterDevice m_device;
    CQtBmpLoader m_loader;
    CNvImageList m_list;
    CNvOperationSequence m_download{m_list, NvStartDownload};
};

QImage Logo(int width, int height, const QColor& colour) {
    QImage image(width, height, QImage::Format_RGB888);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    painter.drawEllipse(QRect(0, 0, height, height));
    QFont font;
    font.setPixelSize(height / 3);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(colour.darker());
    painter.drawText(QRect(height + height / 8, 0, width - height, height),
                     Qt::AlignVCenter | Qt::AlignLeft, QStringLiteral("Printdeck"));
    return image;
}

// Two logos in the demo printer's folder as the stored working list, and
// two images in the printer.
void PrepareNvImages(CDemoPrinter& demo, CNvImageList& list, bool indexed) {
    const struct {
        const char* name;
        QImage image;
        int brightness;
    } logos[] = {{"logo.bmp", Logo(600, 150, QColor(200, 40, 40)), 30},
                 {"stamp.bmp", Logo(240, 90, QColor(40, 90, 200)), 0}};
    for (const auto& logo : logos) {
        const QString path = demo.Folder() + QLatin1Char('/') + QLatin1String(logo.name);
        logo.image.save(path, "BMP");
        CNvImage entry;
        list.LoadEntry(static_cast<std::uint8_t>(list.m_Images.size() + 1), path.toStdString(),
                       logo.brightness, entry);
        list.AddEntry(entry);
    }
    list.SaveImagesToStore();
    if (indexed) {
        CNvImageList::WriteStoredCount(kNvKey, 2);
    } else {
        demo.Printer().State().nv.Update([](vp::NvMemory& nv) {
            nv.keyCodeGraphics = {{"10", {8, 1, {0xFF}}}, {"11", {8, 1, {0xFF}}}};
        });
    }
    CNvOperationSequence read(list, NvReadAddresses);
    read.Run();
}

std::unique_ptr<QWidget> NvManager(CScreenshotSession& session, bool indexed) {
    CDemoPrinter& demo = indexed ? session.Demo(kIndexedDemo) : session.Demo();
    auto* model = new CNvSceneModel(demo);
    PrepareNvImages(demo, model->m_list, indexed);
    auto window = std::make_unique<CNvImageDlg>(session.Prompter(), model->m_list);
    model->setParent(window.get());
    window->findChild<QTableWidget*>(QStringLiteral("imageTable"))->setCurrentCell(0, 0);
    return window;
}

std::unique_ptr<QWidget> NvProgress(CScreenshotSession& session) {
    auto* model = new CNvSceneModel(session.Demo());
    auto window = std::make_unique<CNvProgressDlg>(model->m_download);
    model->setParent(window.get());
    window->findChild<QProgressBar*>(QStringLiteral("progressBar"))->setValue(45);
    window->findChild<QGroupBox*>(QStringLiteral("progressGroup"))
        ->setTitle(QString::fromStdString("logo.bmp" + LoadString(IDS_DOWNLOADING)));
    return window;
}

// A printer as the read run leaves it, kept as long as the window shows it.
struct IdentifiedPrinter {
    CPrinterDevice device;
    CPrinterSettings record;
    CSettingsTransfer transfer{&record};
};

std::shared_ptr<IdentifiedPrinter> Identified(int model, const char* name, int version,
                                              const char* versionText) {
    auto printer = std::make_shared<IdentifiedPrinter>();
    printer->device.g_Model = model;
    printer->device.m_strModelName = name;
    printer->device.g_Getver = version;
    printer->device.m_strVersion = versionText;
    printer->device.m_strCodePage = "(KOREA C-5601)";
    printer->device.m_nMsrSetting = '9';
    printer->record.m_pDevice = &printer->device;
    printer->record.BlackMarkSensor = kBlackMarkFront;
    printer->record.TimeOff = 30;
    printer->record.TimeSave = 100;
    printer->record.Sentinel = 2;
    printer->record.m_strTrack1Start = "%";
    printer->record.m_strTrack1End = "?";
    return printer;
}

// The window holds the printer until it is destroyed.
std::unique_ptr<QWidget> Holding(std::unique_ptr<QWidget> window,
                                 std::shared_ptr<IdentifiedPrinter> printer) {
    QObject::connect(window.get(), &QObject::destroyed, [printer] {});
    return window;
}

std::function<std::unique_ptr<QWidget>(CScreenshotSession&)> Editor(int model, const char* name,
                                                                    int version,
                                                                    const char* versionText) {
    return [=](CScreenshotSession& session) {
        auto printer = Identified(model, name, version, versionText);
        return Holding(std::make_unique<CSettingsDlg>(printer->record, session.Prompter()),
                       printer);
    };
}

std::unique_ptr<QWidget> TransferWindow(CScreenshotSession&) {
    auto printer = Identified(MODEL_T300, "MRQ-T300", 101050, "V01.05");
    auto window = std::make_unique<CStatusDlg>(printer->transfer);
    window->setWindowTitle(GuiString(IDS_VMSM_TITLE));
    window->findChild<QProgressBar*>(QStringLiteral("progressBar"))->setValue(45);
    window->findChild<QLabel*>(QStringLiteral("percentLabel"))
        ->setText(GuiString(IDS_GET_STATUS) + QStringLiteral(" : 45 %"));
    return Holding(std::move(window), printer);
}

std::unique_ptr<QWidget> SentinelWindow(CScreenshotSession& session) {
    SentinelValues values;
    values.mode = 2;
    values.codes = {"%", ";", ";", "?", "?", "?"};
    return std::make_unique<CMsrSentinelDlg>(values, session.Prompter());
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
        {QStringLiteral("nv-image-manager"),
         [](CScreenshotSession& session) { return NvManager(session, false); }},
        {QStringLiteral("nv-image-manager-indexed"),
         [](CScreenshotSession& session) { return NvManager(session, true); }},
        {QStringLiteral("nv-progress"), NvProgress},
        {QStringLiteral("nv-address"),
         [](CScreenshotSession& session) {
             return std::make_unique<CNvAddressDlg>(session.Prompter(), std::vector<std::string>());
         }},
        {QStringLiteral("settings-transfer"), TransferWindow},
        {QStringLiteral("settings-editor-old-msw"), Editor(MODEL_T200, "MRQ-T200", 1230, "V1.23")},
        {QStringLiteral("settings-editor-sw"), Editor(MODEL_T200, "MRQ-T200", 21000, "V01.00")},
        {QStringLiteral("settings-editor-new-msw"),
         Editor(MODEL_T300, "MRQ-T300", 101050, "V01.05")},
        {QStringLiteral("sentinel-settings"), SentinelWindow},
    };
}

}  // namespace printdeck::screenshots
