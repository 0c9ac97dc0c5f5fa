#include "nvimage/NvAddressDlg.h"

#include <QPushButton>
#include <QRegularExpressionValidator>
#include <algorithm>

#include "app/StringTable.h"
#include "gui/GuiText.h"
#include "gui/Prompter.h"
#include "nvimage/NvAddress.h"
#include "nvimage/NvResult.h"
#include "ui_NvAddressDlg.h"

namespace printdeck {

CNvAddressDlg::CNvAddressDlg(IPrompter& prompter, std::vector<std::string> taken, QWidget* parent)
    : QDialog(parent),
      m_ui(std::make_unique<Ui::CNvAddressDlg>()),
      m_prompter(prompter),
      m_Taken(std::move(taken)) {
    m_ui->setupUi(this);
    // Key codes are single bytes the printer takes as printable ASCII.
    m_ui->addressEdit->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("[\\x20-\\x7E]{0,2}")), m_ui->addressEdit));
    m_ui->addressEdit->selectAll();
    connect(m_ui->okButton, &QPushButton::clicked, this, &CNvAddressDlg::accept);
    connect(m_ui->cancelButton, &QPushButton::clicked, this, &CNvAddressDlg::reject);
}

CNvAddressDlg::~CNvAddressDlg() = default;

std::string CNvAddressDlg::Code() const {
    return m_ui->addressEdit->text().toStdString();
}

void CNvAddressDlg::accept() {
    const std::string code = Code();
    const QString caption = GuiString(IDS_NV_MANAGER_TITLE);
    // A shorter code would reach the printer with a zero byte in its place.
    if (!IsValidNvAddress(code)) {
        m_prompter.Message(this, FixedText(CNvResult{RC_BAD_ADDRESS, {}}.BaseText().c_str()),
                           caption);
        return;
    }
    if (std::find(m_Taken.begin(), m_Taken.end(), code) != m_Taken.end()) {
        m_prompter.Message(this, GuiString(IDS_ADDRESS_EXISTS), caption);
        return;
    }
    QDialog::accept();
}

}  // namespace printdeck
