#include "nvimage/NvProgressDlg.h"

#include "nvimage/NvOperationSequence.h"
#include "ui_NvProgressDlg.h"

namespace printdeck {

CNvProgressDlg::CNvProgressDlg(CNvOperationSequence& sequence, QWidget* parent)
    : QDialog(parent), m_ui(std::make_unique<Ui::CNvProgressDlg>()), m_sequence(sequence) {
    m_ui->setupUi(this);
    m_ui->progressBar->setRange(0, 100);
    connect(&m_runner, &COperationRunner::finished, this, &CNvProgressDlg::OnFinished);
}

CNvProgressDlg::~CNvProgressDlg() = default;

bool CNvProgressDlg::Run(CNvOperationSequence& sequence, QWidget* parent) {
    CNvProgressDlg window(sequence, parent);
    return window.exec() == QDialog::Accepted;
}

int CNvProgressDlg::exec() {
    m_bFinished = false;
    m_sequence.SetProgressCallback([this](int percent, const std::string& label) {
        m_runner.Post([this, percent, label = QString::fromStdString(label)] {
            ShowProgress(percent, label);
        });
    });
    m_runner.Start([this] { m_bFinished = m_sequence.Run(); });
    return QDialog::exec();
}

void CNvProgressDlg::ShowProgress(int percent, const QString& label) {
    m_ui->progressBar->setValue(percent);
    // The first caption is the window's own, in the user's language; the
    // steps name their work with texts of the string table.
    m_ui->progressGroup->setTitle(
        label == QLatin1String(kNvProgressInitialLabel) ? tr("Progressing...") : label);
}

void CNvProgressDlg::OnFinished() {
    m_sequence.SetProgressCallback(nullptr);
    done(m_bFinished ? QDialog::Accepted : QDialog::Rejected);
}

void CNvProgressDlg::reject() {
    if (m_runner.IsRunning()) {
        m_sequence.RequestCancel();
        return;
    }
    QDialog::reject();
}

}  // namespace printdeck
