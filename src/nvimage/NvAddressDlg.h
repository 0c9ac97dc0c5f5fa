#pragma once

#include <QDialog>
#include <memory>
#include <string>
#include <vector>

namespace Ui {
class CNvAddressDlg;
}

namespace printdeck {

class IPrompter;

// Asks for the two-character NV address of one image. An address of the
// list it is given is refused with "Exists address!" and the window stays
// open.
class CNvAddressDlg : public QDialog {
    Q_OBJECT

public:
    CNvAddressDlg(IPrompter& prompter, std::vector<std::string> taken, QWidget* parent = nullptr);
    ~CNvAddressDlg() override;

    // The address entered, once the window closed with OK.
    std::string Code() const;

public slots:
    void accept() override;

private:
    std::unique_ptr<Ui::CNvAddressDlg> m_ui;
    IPrompter& m_prompter;
    std::vector<std::string> m_Taken;
};

}  // namespace printdeck
