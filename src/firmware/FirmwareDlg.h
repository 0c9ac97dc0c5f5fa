#pragma once

#include <QDialog>
#include <memory>

#include "app/CommSettings.h"
#include "firmware/FirmwareSender.h"
#include "gui/OperationRunner.h"

namespace Ui {
class CFirmwareDlg;
}

namespace printdeck {

class IPrompter;

// The firmware manager: picks a firmware file and sends it unchanged over a
// port of its own, with progress. The sending runs on a worker thread; the
// window cannot be closed until it ends.
class CFirmwareDlg : public QDialog {
    Q_OBJECT

public:
    CFirmwareDlg(IPrompter& prompter, const CommSettings& connection, QWidget* parent = nullptr);
    ~CFirmwareDlg() override;

    bool IsSending() const { return m_runner.IsRunning(); }
    // The outcome of the last download, once downloadEnded has come.
    const FirmwareResult& LastResult() const { return m_result; }

public slots:
    void reject() override;

signals:
    void downloadEnded();

protected:
    void closeEvent(QCloseEvent* event) override;

private slots:
    void OnStartDownload();
    void OnDownloadFinished();

private:
    class CWindowListener;

    void ConnectSignals();

    std::unique_ptr<Ui::CFirmwareDlg> m_ui;
    IPrompter& m_prompter;
    CFirmwareSender m_sender;
    COperationRunner m_runner;
    std::unique_ptr<CWindowListener> m_listener;
    FirmwareResult m_result;
    QString m_lastPath;
};

}  // namespace printdeck
