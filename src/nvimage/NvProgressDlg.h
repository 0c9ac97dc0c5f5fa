#pragma once

#include <QDialog>
#include <QString>
#include <memory>

#include "gui/OperationRunner.h"

namespace Ui {
class CNvProgressDlg;
}

namespace printdeck {

class CNvOperationSequence;

// The progress window of one exchange of the NV image manager with the
// printer. The sequence runs on a worker thread with its real pauses, so the
// window keeps painting while the printer is slow; closing the window asks
// the sequence to stop before its next step and closes once it has.
class CNvProgressDlg : public QDialog {
    Q_OBJECT

public:
    explicit CNvProgressDlg(CNvOperationSequence& sequence, QWidget* parent = nullptr);
    ~CNvProgressDlg() override;

    // Shows the window while the sequence runs: Accepted when it reached its
    // end, Rejected when it failed or was stopped (its m_strResult says why).
    int exec() override;
    // Runs the sequence in a progress window; true when it reached its end.
    static bool Run(CNvOperationSequence& sequence, QWidget* parent);

public slots:
    void reject() override;

private slots:
    void OnFinished();

private:
    void ShowProgress(int percent, const QString& label);

    std::unique_ptr<Ui::CNvProgressDlg> m_ui;
    CNvOperationSequence& m_sequence;
    COperationRunner m_runner;
    bool m_bFinished = false;
};

}  // namespace printdeck
