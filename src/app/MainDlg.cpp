#include "app/MainDlg.h"

#include <QAction>
#include <QCloseEvent>
#include <QIntValidator>
#include <QRegularExpressionValidator>

#include "app/AboutDlg.h"
#include "app/ConfigStore.h"
#include "app/StringTable.h"
#include "firmware/FirmwareDlg.h"
#include "gui/GuiText.h"
#include "gui/Prompter.h"
#include "nvimage/NvImageDlg.h"
#include "nvimage/NvOperationSequence.h"
#include "nvimage/NvProgressDlg.h"
#include "settings_editor/StatusDlg.h"
#include "ui_MainDlg.h"

namespace printdeck {
namespace {

// Fixed list entries: the interface names and serial line values are the
// same in every language.
const QStringList kInterfaces = {QStringLiteral("Serial / RS232C"), QStringLiteral("USB"),
                                 QStringLiteral("TCP/IP")};
const QList<int> kBaudRates = {2400, 4800, 9600, 19200, 38400, 57600, 115200};
constexpr int kDefaultBaudIndex = 6;
constexpr int kDefaultFlowIndex = 1;
// With no serial line found and none stored, the first built-in UART.
const QString kFallbackSerialPort = QStringLiteral("ttyS0");

// A serial device name as the port string takes it: at most ten characters,
// a name under /dev such as ttyUSB0, rfcomm0 or pts/3.
const QRegularExpression kSerialNamePattern(QStringLiteral("[A-Za-z][A-Za-z0-9_/]{0,9}"));
const QRegularExpression kIpv4Pattern(
    QStringLiteral("((25[0-5]|2[0-4][0-9]|1[0-9]{2}|[1-9]?[0-9])\\.){3}(25[0-5]|2[0-4][0-9]|1[0-9]{"
                   "2}|[1-9]?[0-9])"));

bool IsAcceptable(const QLineEdit* edit) {
    QString text = edit->text();
    int position = 0;
    return edit->validator() == nullptr ||
           edit->validator()->validate(text, position) == QValidator::Acceptable;
}

void SelectByText(QComboBox* list, const QString& text) {
    if (const int index = list->findText(text); index >= 0) {
        list->setCurrentIndex(index);
    }
}

void SelectByIndex(QComboBox* list, int index) {
    if (index >= 0 && index < list->count()) {
        list->setCurrentIndex(index);
    }
}

}  // namespace

CMainDlg::CMainDlg(IPrompter& prompter, PortFinder finder, QWidget* parent)
    : QDialog(parent),
      m_ui(std::make_unique<Ui::CMainDlg>()),
      m_prompter(prompter),
      m_finder(std::move(finder)) {
    m_ui->setupUi(this);
    m_NvImages.SetBitmapLoader(&m_BmpLoader);
    setWindowIcon(QIcon(QStringLiteral(":/printdeck.svg")));
    AddAboutAction();
    SetUpFieldValidators();

    m_ui->interfaceCombo->addItems(kInterfaces);
    // Filled once here as well, so the lists that other interfaces disable
    // still show their values.
    FillLineLists();
    const std::optional<CommSettings> stored = ReadStoredCommSettings(m_comm);
    if (stored) {
        m_comm = *stored;
        SelectByIndex(m_ui->interfaceCombo, m_comm.uPortType);
    }
    RunInterfaceChange();
    if (stored) {
        RestoreChoice(*stored);
    }
    m_ui->descriptionLabel->setText(GuiString(IDS_SELECT_MENU_HELP));
    setWindowTitle(GuiString(IDS_APP_VERSION));
    ConnectSignals();
}

CMainDlg::~CMainDlg() = default;

void CMainDlg::ConnectSignals() {
    connect(m_ui->interfaceCombo, &QComboBox::activated, this, &CMainDlg::OnInterfaceChanged);
    connect(m_ui->settingsManagerButton, &QPushButton::clicked, this, &CMainDlg::OnSettingsManager);
    connect(m_ui->nvImageManagerButton, &QPushButton::clicked, this, &CMainDlg::OnNvImageManager);
    connect(m_ui->firmwareManagerButton, &QPushButton::clicked, this, &CMainDlg::OnFirmwareManager);
    connect(m_ui->exitButton, &QPushButton::clicked, this, &CMainDlg::accept);
}

// Linux window managers own the system menu, so the About item lives in the
// window's context menu and on F1.
void CMainDlg::AddAboutAction() {
    auto* separator = new QAction(this);
    separator->setSeparator(true);
    auto* about = new QAction(GuiString(IDS_ABOUT_PRINTDECK), this);
    about->setObjectName(QStringLiteral("aboutAction"));
    about->setShortcut(QKeySequence::HelpContents);
    connect(about, &QAction::triggered, this, &CMainDlg::OnAbout);
    addAction(separator);
    addAction(about);
    setContextMenuPolicy(Qt::ActionsContextMenu);
}

void CMainDlg::SetUpFieldValidators() {
    m_ui->ipAddressEdit->setValidator(new QRegularExpressionValidator(kIpv4Pattern, this));
    m_ui->tcpPortEdit->setValidator(new QIntValidator(1, 65535, this));
    m_ui->portCombo->setInsertPolicy(QComboBox::NoInsert);
}

int CMainDlg::SelectedInterface() const {
    return m_ui->interfaceCombo->currentIndex();
}

void CMainDlg::OnInterfaceChanged() {
    RunInterfaceChange();
}

void CMainDlg::RunInterfaceChange() {
    m_ui->portCombo->hide();
    m_ui->baudCombo->hide();
    m_ui->tcpPortEdit->hide();
    m_ui->ipAddressEdit->hide();
    switch (SelectedInterface()) {
        case PortTypeUsb:
            if (!ShowUsbControls()) {
                m_prompter.Message(this, GuiString(IDS_USB_NOT_CONNECTED),
                                   GuiString(IDS_PRINTDECK));
                m_ui->interfaceCombo->setCurrentIndex(PortTypeSerial);
                RunInterfaceChange();
            }
            break;
        case PortTypeNetwork:
            ShowNetworkControls();
            break;
        default:
            ShowSerialControls();
            break;
    }
}

void CMainDlg::ShowSerialControls() {
    m_ui->portCombo->show();
    m_ui->baudCombo->show();
    m_ui->portLabel->setText(QLatin1Char('&') + GuiString(IDS_PORT) + QStringLiteral(" :"));
    m_ui->portLabel->setBuddy(m_ui->portCombo);
    FillSerialPortList();
    FillLineLists();
    SetLineListsEnabled(true, true);
}

void CMainDlg::FillLineLists() {
    m_ui->baudCombo->clear();
    for (const int rate : kBaudRates) {
        m_ui->baudCombo->addItem(QString::number(rate));
    }
    m_ui->baudCombo->setCurrentIndex(kDefaultBaudIndex);
    m_ui->dataBitsCombo->clear();
    m_ui->dataBitsCombo->addItem(QStringLiteral("8"));
    m_ui->parityCombo->clear();
    m_ui->parityCombo->addItems(
        {GuiString(IDS_NONE_UPPER), QStringLiteral("ODD"), QStringLiteral("EVEN")});
    m_ui->stopBitsCombo->clear();
    m_ui->stopBitsCombo->addItems({QStringLiteral("1"), QStringLiteral("2")});
    m_ui->flowCombo->clear();
    m_ui->flowCombo->addItems({GuiString(IDS_NONE_UPPER), QStringLiteral("DTR/DSR")});
    m_ui->flowCombo->setCurrentIndex(kDefaultFlowIndex);
}

// The lines found now, in discovery order; the stored line stays on offer
// while it is away (a Bluetooth link bound later), and a name can be typed.
void CMainDlg::FillSerialPortList() {
    m_ui->portCombo->clear();
    m_ui->portCombo->setEditable(true);
    m_ui->portCombo->setValidator(new QRegularExpressionValidator(kSerialNamePattern, this));
    for (const DiscoveredPort& port : m_finder.serialPorts()) {
        m_ui->portCombo->addItem(QString::fromStdString(port.portString));
        m_ui->portCombo->setItemData(m_ui->portCombo->count() - 1,
                                     QString::fromStdString(port.description), Qt::ToolTipRole);
    }
    const QString stored = QString::fromStdString(m_comm.uPort);
    if (m_comm.uPortType == PortTypeSerial && !stored.isEmpty() &&
        m_ui->portCombo->findText(stored) < 0) {
        m_ui->portCombo->addItem(stored);
    }
    if (m_ui->portCombo->count() == 0) {
        m_ui->portCombo->addItem(kFallbackSerialPort);
    }
    m_ui->portCombo->setCurrentIndex(0);
}

bool CMainDlg::ShowUsbControls() {
    m_ui->portCombo->show();
    m_ui->baudCombo->show();
    m_ui->portLabel->setText(QLatin1Char('&') + GuiString(IDS_PORT) + QStringLiteral(" :"));
    m_ui->portLabel->setBuddy(m_ui->portCombo);
    m_ui->portCombo->clear();
    m_ui->portCombo->setEditable(false);
    m_UsbPathList.clear();
    for (const DiscoveredPort& printer : m_finder.usbPrinters()) {
        m_UsbPathList.push_back(printer.portString);
        m_ui->portCombo->addItem(QStringLiteral("USB%1  %2")
                                     .arg(m_UsbPathList.size(), 2, 10, QLatin1Char('0'))
                                     .arg(QString::fromStdString(printer.portString)));
    }
    if (m_UsbPathList.empty()) {
        return false;
    }
    m_ui->portCombo->setCurrentIndex(0);
    SetLineListsEnabled(false, false);
    return true;
}

void CMainDlg::ShowNetworkControls() {
    m_ui->ipAddressEdit->show();
    m_ui->tcpPortEdit->show();
    m_ui->portLabel->setText(tr("I&P : "));
    m_ui->portLabel->setBuddy(m_ui->ipAddressEdit);
    m_ui->ipAddressEdit->setText(QStringLiteral("0.0.0.0"));
    m_ui->tcpPortEdit->setText(QString::number(kDefaultTcpPort));
    SetLineListsEnabled(true, false);
}

void CMainDlg::SetLineListsEnabled(bool baud, bool line) {
    m_ui->baudCombo->setEnabled(baud);
    m_ui->dataBitsCombo->setEnabled(line);
    m_ui->parityCombo->setEnabled(line);
    m_ui->stopBitsCombo->setEnabled(line);
    m_ui->flowCombo->setEnabled(line);
}

void CMainDlg::RestoreChoice(const CommSettings& stored) {
    const QString port = QString::fromStdString(stored.uPort);
    switch (stored.uPortType) {
        case PortTypeSerial:
            SelectByText(m_ui->portCombo, port);
            SelectByText(m_ui->baudCombo, QString::number(stored.uBaudrate));
            SelectByIndex(m_ui->parityCombo, stored.uParity);
            SelectByIndex(m_ui->stopBitsCombo, stored.uStopbit == 2 ? 1 : stored.uStopbit);
            SelectByIndex(m_ui->flowCombo, stored.uFlowcontrol);
            break;
        case PortTypeUsb:
            for (std::size_t i = 0; i < m_UsbPathList.size(); ++i) {
                if (m_UsbPathList[i] == stored.uPort) {
                    m_ui->portCombo->setCurrentIndex(static_cast<int>(i));
                }
            }
            break;
        case PortTypeNetwork:
            m_ui->ipAddressEdit->setText(port.startsWith(QLatin1String("NET")) ? port.mid(3)
                                                                               : port);
            // The stored TCP port is shown, so "Exit" keeps a printer's own port.
            if (stored.uBaudrate >= 1 && stored.uBaudrate <= 65535) {
                m_ui->tcpPortEdit->setText(QString::number(stored.uBaudrate));
            }
            break;
        default:
            break;
    }
}

std::optional<CommSettings> CMainDlg::ReadBackSettings() {
    CommSettings settings = m_comm;
    settings.uPortType = SelectedInterface();
    QWidget* invalid = nullptr;
    switch (settings.uPortType) {
        case PortTypeUsb:
            settings.uPort =
                m_UsbPathList.at(static_cast<std::size_t>(m_ui->portCombo->currentIndex()));
            break;
        case PortTypeNetwork:
            if (!IsAcceptable(m_ui->ipAddressEdit)) {
                invalid = m_ui->ipAddressEdit;
            } else if (!IsAcceptable(m_ui->tcpPortEdit)) {
                invalid = m_ui->tcpPortEdit;
            }
            settings.uPort = "NET" + m_ui->ipAddressEdit->text().toStdString();
            settings.uBaudrate = m_ui->tcpPortEdit->text().toInt();
            break;
        default:
            if (!IsAcceptable(m_ui->portCombo->lineEdit())) {
                invalid = m_ui->portCombo;
            }
            settings.uPort = m_ui->portCombo->currentText().toStdString();
            settings.uBaudrate = m_ui->baudCombo->currentText().toInt();
            settings.uDatabit = m_ui->dataBitsCombo->currentText().toInt();
            settings.uParity = m_ui->parityCombo->currentIndex();
            settings.uStopbit = m_ui->stopBitsCombo->currentIndex() == 0 ? 0 : 2;
            settings.uFlowcontrol = m_ui->flowCombo->currentIndex();
            break;
    }
    if (invalid != nullptr) {
        m_prompter.Message(this, GuiString(IDS_INVALID_VALUE), GuiString(IDS_PRINTDECK),
                           IPrompter::Icon::Exclamation);
        invalid->setFocus();
        return std::nullopt;
    }
    m_comm = settings;
    return settings;
}

bool CMainDlg::HandSettingsToPrinter() {
    const std::optional<CommSettings> settings = ReadBackSettings();
    if (!settings) {
        return false;
    }
    m_Printer.m_strPortName = settings->uPort;
    m_Printer.m_nBaudRate = settings->uBaudrate;
    m_Printer.m_nDataBits = settings->uDatabit;
    m_Printer.m_nParity = settings->uParity;
    m_Printer.m_nStopBits = settings->uStopbit;
    m_Printer.m_nFlowControl = settings->uFlowcontrol;
    m_Printer.ApplyPortSettings();
    return true;
}

void CMainDlg::OnSettingsManager() {
    if (HandSettingsToPrinter()) {
        RunSettingsManager(m_Settings, m_Printer, m_prompter, this);
    }
}

void CMainDlg::OnNvImageManager() {
    m_NvImages.m_bIdentified = 0;
    if (!HandSettingsToPrinter()) {
        return;
    }
    m_NvImages.m_pDevice = &m_Printer;
    CNvOperationSequence read(m_NvImages, NvReadAddresses);
    if (!CNvProgressDlg::Run(read, this)) {
        m_Printer.m_Port.Close();
        m_prompter.Message(this, FixedText(read.m_strResult.c_str()), GuiString(IDS_PRINTDECK));
        m_NvImages.m_bIdentified = 0;
        return;
    }
    CNvImageDlg manager(m_prompter, m_NvImages, this);
    manager.exec();
    m_Printer.m_Port.Close();
}

void CMainDlg::OnFirmwareManager() {
    if (const std::optional<CommSettings> settings = ReadBackSettings()) {
        CFirmwareDlg firmware(m_prompter, *settings, this);
        firmware.exec();
    }
}

void CMainDlg::OnAbout() {
    CAboutDlg about(this);
    about.exec();
}

void CMainDlg::accept() {
    const std::optional<CommSettings> settings = ReadBackSettings();
    if (!settings) {
        return;
    }
    if (!WriteCommSettings(*settings)) {
        m_prompter.Message(this,
                           tr("The connection settings could not be stored in %1.")
                               .arg(QString::fromStdString(CConfigStore::StoreFilePath())),
                           GuiString(IDS_PRINTDECK), IPrompter::Icon::Error);
    }
    QDialog::accept();
}

void CMainDlg::closeEvent(QCloseEvent* event) {
    if (m_Printer.m_Port.m_bOpen != 0) {
        m_Printer.m_Port.Close();
    }
    QDialog::closeEvent(event);
}

}  // namespace printdeck
