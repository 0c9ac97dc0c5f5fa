#pragma once

#include <QDialog>
#include <memory>

#include "gui/OperationRunner.h"
#include "settings_editor/SettingsTransfer.h"

namespace Ui {
class CStatusDlg;
}

namespace printdeck {

class CPrinterDevice;
class CPrinterSettings;
class IPrompter;

// The settings transfer's progress window: runs one mode of the transfer
// (read, write, factory default) on a worker thread and shows its progress.
// Cancel takes effect between steps; the window closes when the run ends,
// accepted when it reached its finish. The same window may run several
// modes in a row and keeps its text line from one run to the next.
class CStatusDlg : public QDialog {
    Q_OBJECT

public:
    explicit CStatusDlg(CSettingsTransfer& transfer, QWidget* parent = nullptr);
    ~CStatusDlg() override;

    // Runs `mode` modally; true when the run was accepted. After a
    // cancelled run the transfer's m_strError holds the failure, if any.
    bool RunMode(int mode);

public slots:
    // Cancel, Escape and the close box: the run stops before its next step.
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private slots:
    void OnRunFinished();

private:
    void StartRun();
    void ShowPoint(int percent, const QString& text);

    std::unique_ptr<Ui::CStatusDlg> m_ui;
    CSettingsTransfer& m_transfer;
    COperationRunner m_runner;
    int m_nMode = TransferNone;
    bool m_bAccepted = false;
    bool m_bRunPending = false;  // RunMode starts the run once the window shows
};

// The settings manager behind the main window's "Virtual Memory Switch
// Manager" button: loads the record, reads the printer, runs the editor,
// writes the printer (or restores its factory defaults) and saves the
// record, telling the user how it ended. The port is closed in every
// outcome. The connection settings are in `device` beforehand.
void RunSettingsManager(CPrinterSettings& settings, CPrinterDevice& device, IPrompter& prompter,
                        QWidget* parent);

}  // namespace printdeck
