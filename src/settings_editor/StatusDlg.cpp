#include "settings_editor/StatusDlg.h"

#include <QCloseEvent>
#include <QShowEvent>

#include "app/StringTable.h"
#include "gui/GuiText.h"
#include "gui/Prompter.h"
#include "settings_editor/SettingsCycle.h"
#include "settings_editor/SettingsDlg.h"
#include "ui_StatusDlg.h"

namespace printdeck {

CStatusDlg::CStatusDlg(CSettingsTransfer& transfer, QWidget* parent)
    : QDialog(parent), m_ui(std::make_unique<Ui::CStatusDlg>()), m_transfer(transfer) {
    m_ui->setupUi(this);
    m_ui->progressBar->setRange(0, 100);
    connect(m_ui->cancelButton, &QPushButton::clicked, this, &CStatusDlg::reject);
    connect(&m_runner, &COperationRunner::finished, this, &CStatusDlg::OnRunFinished);
    // Called on the worker thread, point by point.
    m_transfer.SetProgressCallback([this](int percent, const std::string& text) {
        m_runner.Post(
            [this, percent, line = QString::fromStdString(text)] { ShowPoint(percent, line); });
    });
}

CStatusDlg::~CStatusDlg() {
    m_transfer.SetProgressCallback(nullptr);
}

bool CStatusDlg::RunMode(int mode) {
    m_nMode = mode;
    m_bAccepted = false;
    m_bRunPending = true;
    return exec() == QDialog::Accepted;
}

void CStatusDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (m_bRunPending && !event->spontaneous()) {
        m_bRunPending = false;
        StartRun();
    }
}

void CStatusDlg::StartRun() {
    if (m_nMode != TransferNone) {
        setWindowTitle(GuiString(IDS_VMSM_TITLE));
        m_ui->progressBar->setValue(0);
    }
    m_runner.Start([this] { m_bAccepted = m_transfer.Run(m_nMode); });
}

void CStatusDlg::ShowPoint(int percent, const QString& text) {
    m_ui->progressBar->setValue(percent);
    m_ui->percentLabel->setText(text);
}

void CStatusDlg::OnRunFinished() {
    done(m_bAccepted ? QDialog::Accepted : QDialog::Rejected);
}

void CStatusDlg::reject() {
    if (m_runner.IsRunning()) {
        m_transfer.RequestCancel();
        return;
    }
    QDialog::reject();
}

void CStatusDlg::closeEvent(QCloseEvent* event) {
    if (m_runner.IsRunning()) {
        m_transfer.RequestCancel();
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void RunSettingsManager(CPrinterSettings& settings, CPrinterDevice& device, IPrompter& prompter,
                        QWidget* parent) {
    CSettingsCycle cycle(settings, device);
    CStatusDlg status(cycle.Transfer(), parent);
    cycle.SetTransferRunner(
        [&status](CSettingsTransfer&, int mode) { return status.RunMode(mode); });
    const CycleResult result = cycle.Run([&prompter, parent](CPrinterSettings& record) {
        CSettingsDlg editor(record, prompter, parent);
        return editor.RunEditor();
    });
    if (result.showMessage) {
        prompter.Message(parent, QString::fromStdString(result.text),
                         QString::fromStdString(result.caption));
    }
}

}  // namespace printdeck
