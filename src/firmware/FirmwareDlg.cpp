#include "firmware/FirmwareDlg.h"

#include <QCloseEvent>
#include <QFile>

#include "app/StringTable.h"
#include "firmware/FirmwareTexts.h"
#include "gui/GuiText.h"
#include "gui/Prompter.h"
#include "ui_FirmwareDlg.h"

namespace printdeck {

// Carries what the sender reports on the worker thread to the window.
class CFirmwareDlg::CWindowListener : public IFirmwareListener {
public:
    explicit CWindowListener(CFirmwareDlg& window) : m_window(window) {}

    void OnStatus(const std::string& text) override {
        m_window.m_runner.Post([this, status = FixedText(text.c_str())] {
            m_window.m_ui->statusLabel->setText(status);
        });
    }
    // The worker waits until the user has read the message, so messages and
    // the rest of the download keep their order.
    void OnMessage(const std::string& text) override {
        m_window.m_runner.Ask([this, &text] {
            m_window.m_prompter.Message(&m_window, FixedText(text.c_str()),
                                        GuiString(IDS_PRINTDECK));
        });
    }
    void OnProgress(const FirmwareProgress& progress) override {
        m_window.m_runner.Post(
            [this, percent = progress.percent] { m_window.m_ui->progressBar->setValue(percent); });
    }
    void OnSending(bool active) override {
        m_window.m_runner.Post([this, active] { m_window.m_ui->exitButton->setEnabled(!active); });
    }

private:
    CFirmwareDlg& m_window;
};

CFirmwareDlg::CFirmwareDlg(IPrompter& prompter, const CommSettings& connection, QWidget* parent)
    : QDialog(parent),
      m_ui(std::make_unique<Ui::CFirmwareDlg>()),
      m_prompter(prompter),
      m_listener(std::make_unique<CWindowListener>(*this)) {
    m_ui->setupUi(this);
    m_sender.SetPortSettings(connection.uPort, static_cast<std::uint32_t>(connection.uBaudrate),
                             connection.uParity, connection.uDatabit, connection.uStopbit,
                             connection.uFlowcontrol);
    m_ui->statusLabel->setText(FixedText(kFirmwareSelectFile));
    m_ui->progressBar->setRange(0, 100);
    m_ui->progressBar->setValue(0);
    ConnectSignals();
}

CFirmwareDlg::~CFirmwareDlg() = default;

void CFirmwareDlg::ConnectSignals() {
    connect(m_ui->startButton, &QPushButton::clicked, this, &CFirmwareDlg::OnStartDownload);
    connect(m_ui->exitButton, &QPushButton::clicked, this, &CFirmwareDlg::accept);
    connect(&m_runner, &COperationRunner::finished, this, &CFirmwareDlg::OnDownloadFinished);
}

void CFirmwareDlg::OnStartDownload() {
    if (m_runner.IsRunning()) {
        return;
    }
    const QString path = m_prompter.OpenFile(this, FixedText(kFirmwareFileFilter), m_lastPath);
    if (path.isEmpty()) {
        return;
    }
    m_lastPath = path;
    m_ui->startButton->setEnabled(false);
    m_runner.Start([this, file = QFile::encodeName(path).toStdString()] {
        m_result = m_sender.Download(file, m_listener.get());
    });
}

void CFirmwareDlg::OnDownloadFinished() {
    m_ui->startButton->setEnabled(true);
    m_ui->exitButton->setEnabled(true);
    emit downloadEnded();
}

void CFirmwareDlg::reject() {
    if (!m_runner.IsRunning()) {
        QDialog::reject();
    }
}

void CFirmwareDlg::closeEvent(QCloseEvent* event) {
    if (m_runner.IsRunning()) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

}  // namespace printdeck
