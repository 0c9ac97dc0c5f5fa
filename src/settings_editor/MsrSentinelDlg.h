#pragma once

#include <QDialog>
#include <array>
#include <memory>

#include "settings_editor/SentinelCodes.h"

class QButtonGroup;
class QLineEdit;

namespace Ui {
class CMsrSentinelDlg;
}

namespace printdeck {

class IPrompter;

// "Advanced MSR Settings": the card reader's sentinel option and the start
// and end codes of its three tracks, typed as characters or as hexadecimal
// pairs. The codes are checked on "OK"; nothing is handed back before they
// pass, and nothing at all on "Cancel".
class CMsrSentinelDlg : public QDialog {
    Q_OBJECT

public:
    CMsrSentinelDlg(const SentinelValues& values, IPrompter& prompter, QWidget* parent = nullptr);
    ~CMsrSentinelDlg() override;

    // The mode and codes, once the window was accepted.
    const SentinelValues& Values() const { return m_values; }

public slots:
    void accept() override;

private slots:
    void OnModeClicked(int mode);
    void OnInputFormClicked();

private:
    std::array<QLineEdit*, SentinelValues::kCodes> CodeFields() const;
    void ShowValues();
    void TakeValues();
    void SetCodesEnabled(bool enabled);

    std::unique_ptr<Ui::CMsrSentinelDlg> m_ui;
    IPrompter& m_prompter;
    QButtonGroup* m_modes;
    SentinelValues m_values;
    bool m_bHexInput = false;
};

}  // namespace printdeck
