#include "settings_editor/MsrSentinelDlg.h"

#include <QButtonGroup>

#include "app/StringTable.h"
#include "gui/GuiText.h"
#include "gui/Prompter.h"
#include "settings_editor/ByteText.h"
#include "ui_MsrSentinelDlg.h"

namespace printdeck {
namespace {

constexpr int kDynamicSentinel = 2;
// A typed character that no byte carries must fail the character check.
constexpr char kNoByte = '\xFF';

}  // namespace

CMsrSentinelDlg::CMsrSentinelDlg(const SentinelValues& values, IPrompter& prompter, QWidget* parent)
    : QDialog(parent),
      m_ui(std::make_unique<Ui::CMsrSentinelDlg>()),
      m_prompter(prompter),
      m_modes(new QButtonGroup(this)),
      m_values(values) {
    m_ui->setupUi(this);
    m_modes->addButton(m_ui->noneRadio, 0);
    m_modes->addButton(m_ui->staticRadio, 1);
    m_modes->addButton(m_ui->dynamicRadio, kDynamicSentinel);
    m_ui->hexCheck->setText(GuiString(IDS_SENTINEL_FORMAT_ASCII));
    ShowValues();
    SetCodesEnabled(m_values.mode == kDynamicSentinel);

    connect(m_modes, &QButtonGroup::idClicked, this, &CMsrSentinelDlg::OnModeClicked);
    connect(m_ui->hexCheck, &QCheckBox::clicked, this, &CMsrSentinelDlg::OnInputFormClicked);
    connect(m_ui->okButton, &QPushButton::clicked, this, &CMsrSentinelDlg::accept);
    connect(m_ui->cancelButton, &QPushButton::clicked, this, &CMsrSentinelDlg::reject);
}

CMsrSentinelDlg::~CMsrSentinelDlg() = default;

std::array<QLineEdit*, SentinelValues::kCodes> CMsrSentinelDlg::CodeFields() const {
    // In the order of SentinelValues::Code.
    return {m_ui->track1StartEdit, m_ui->track2StartEdit, m_ui->track3StartEdit,
            m_ui->track1EndEdit,   m_ui->track2EndEdit,   m_ui->track3EndEdit};
}

void CMsrSentinelDlg::ShowValues() {
    if (QAbstractButton* button = m_modes->button(m_values.mode)) {
        button->setChecked(true);
    }
    const auto fields = CodeFields();
    for (std::size_t i = 0; i < fields.size(); ++i) {
        fields[i]->setText(FromBytes(m_values.codes[i]));
    }
    m_ui->hexCheck->setChecked(m_bHexInput);
}

void CMsrSentinelDlg::TakeValues() {
    m_values.mode = m_modes->checkedId();
    const auto fields = CodeFields();
    for (std::size_t i = 0; i < fields.size(); ++i) {
        m_values.codes[i] = ToBytes(fields[i]->text(), kNoByte);
    }
}

void CMsrSentinelDlg::SetCodesEnabled(bool enabled) {
    for (QLineEdit* field : CodeFields()) {
        field->setEnabled(enabled);
    }
}

void CMsrSentinelDlg::OnModeClicked(int mode) {
    m_values.mode = mode;
    SetCodesEnabled(mode == kDynamicSentinel);
}

void CMsrSentinelDlg::OnInputFormClicked() {
    m_bHexInput = !m_bHexInput;
    m_ui->hexCheck->setText(
        GuiString(m_bHexInput ? IDS_SENTINEL_FORMAT_HEXA : IDS_SENTINEL_FORMAT_ASCII));
    // Codes are not converted between the forms.
    for (std::string& code : m_values.codes) {
        code.clear();
    }
    ShowValues();
}

void CMsrSentinelDlg::accept() {
    TakeValues();
    const std::string error = AcceptSentinelCodes(m_values, m_bHexInput);
    if (!error.empty()) {
        // The fields keep what the user typed.
        m_prompter.Message(this, GuiString(IDS_INVALID_VALUE) + "\r\n" + FixedText(error.c_str()),
                           GuiString(IDS_VMSM_TITLE), IPrompter::Icon::Exclamation);
        return;
    }
    ShowValues();
    QDialog::accept();
}

}  // namespace printdeck
