#include "settings_editor/SettingsDlg.h"

#include <QButtonGroup>
#include <QShowEvent>

#include "app/StringTable.h"
#include "gui/GuiText.h"
#include "gui/Prompter.h"
#include "settings/PrinterSettings.h"
#include "settings_editor/ByteText.h"
#include "settings_editor/EditorLayout.h"
#include "settings_editor/MsrSentinelDlg.h"
#include "ui_SettingsDlg.h"

namespace printdeck {
namespace {

using V = CEditorValues;

QStringList ToQStrings(const std::vector<std::string>& texts) {
    QStringList list;
    for (const std::string& text : texts) {
        list << QString::fromStdString(text);
    }
    return list;
}

void Fill(QComboBox* list, const std::vector<std::string>& entries) {
    list->clear();
    list->addItems(ToQStrings(entries));
}

// Checks the button at `position`, or none.
void Check(QButtonGroup* group, int position) {
    if (QAbstractButton* button = group->button(position)) {
        button->setChecked(true);
        return;
    }
    group->setExclusive(false);
    for (QAbstractButton* button : group->buttons()) {
        button->setChecked(false);
    }
    group->setExclusive(true);
}

}  // namespace

CSettingsDlg::CSettingsDlg(CPrinterSettings& record, IPrompter& prompter, QWidget* parent)
    : QDialog(parent),
      m_ui(std::make_unique<Ui::CSettingsDlg>()),
      m_record(record),
      m_prompter(prompter),
      m_values(CEditorValues::Load(record)) {
    m_ui->setupUi(this);
    AddRadioGroup(&V::m_nService, {m_ui->serviceReceiptRadio, m_ui->serviceLabelRadio});
    AddRadioGroup(&V::m_nFont, {m_ui->fontARadio, m_ui->fontBRadio, m_ui->fontCRadio});
    AddRadioGroup(&V::m_nBeepPaper, {m_ui->beepPaperOffRadio, m_ui->beepPaperOnRadio});
    AddRadioGroup(&V::m_nBeepLowBat, {m_ui->beepLowBatOnRadio, m_ui->beepLowBatOffRadio});
    AddRadioGroup(&V::m_nDoubleByte, {m_ui->doubleByteOffRadio, m_ui->doubleByteOnRadio});
    AddRadioGroup(&V::m_nBlackMark, {m_ui->blackMarkFrontRadio, m_ui->blackMarkRearRadio});
    AddRadioGroup(&V::m_nBtSecurity, {m_ui->btDisableRadio, m_ui->btEnableRadio});
    AddRadioGroup(&V::m_nBtConnMode, {m_ui->btMode1Radio, m_ui->btMode2Radio, m_ui->btMode3Radio});
    m_barcodeBoxes = {m_ui->pdf417Check, m_ui->dataMatrixCheck, m_ui->maxiCodeCheck,
                      m_ui->qrCodeCheck};
    m_ui->btPinEdit->setMaxLength(kMaxBtPinLength);
    m_ui->btNameEdit->setMaxLength(kMaxBtNameLength);

    ApplyLayout(EditorLayoutFor(record));
    SelectLists();
    ShowBoundValues();
    SetBluetoothEnabled(false);
    ConnectSignals();
}

CSettingsDlg::~CSettingsDlg() = default;

void CSettingsDlg::AddRadioGroup(int CEditorValues::*value,
                                 std::initializer_list<QRadioButton*> buttons) {
    auto* group = new QButtonGroup(this);
    int id = 0;
    for (QRadioButton* button : buttons) {
        group->addButton(button, id++);
    }
    m_radioGroups.push_back({group, value});
}

std::vector<QComboBox*> CSettingsDlg::Lists() const {
    return {m_ui->densityCombo, m_ui->speedCombo, m_ui->codePageCombo,
            m_ui->msrCombo,     m_ui->baudCombo,  m_ui->dataBitsCombo,
            m_ui->parityCombo,  m_ui->flowCombo,  m_ui->rfCombo};
}

std::vector<int CEditorValues::*> CSettingsDlg::ListValues() {
    return {&V::m_nDensity,  &V::m_nSpeed,  &V::m_nCodePage,    &V::m_nMsrTrigger, &V::m_nBaudRate,
            &V::m_nDataBits, &V::m_nParity, &V::m_nFlowControl, &V::m_nRfInterface};
}

void CSettingsDlg::ConnectSignals() {
    connect(m_ui->saveButton, &QPushButton::clicked, this, &CSettingsDlg::OnSave);
    connect(m_ui->defaultButton, &QPushButton::clicked, this, &CSettingsDlg::OnDefault);
    connect(m_ui->cancelButton, &QPushButton::clicked, this, &CSettingsDlg::reject);
    connect(m_ui->advanceButton, &QPushButton::clicked, this, &CSettingsDlg::OnAdvance);
    connect(m_ui->bluetoothCheck, &QCheckBox::clicked, this, &CSettingsDlg::OnBluetoothToggle);
    for (const RadioGroup& group : m_radioGroups) {
        connect(group.buttons, &QButtonGroup::buttonClicked, this,
                &CSettingsDlg::OnImmediateCommit);
    }
    for (QLineEdit* field :
         {m_ui->timeOffEdit, m_ui->timeSaveEdit, m_ui->btPinEdit, m_ui->btNameEdit}) {
        connect(field, &QLineEdit::textEdited, this, &CSettingsDlg::OnImmediateCommit);
    }
    for (std::size_t i = 0; i < m_barcodeBoxes.size(); ++i) {
        connect(m_barcodeBoxes[i], &QCheckBox::clicked, this,
                [this, i] { OnBarcodeClicked(static_cast<Barcode>(i)); });
    }
}

void CSettingsDlg::ApplyLayout(const EditorLayout& layout) {
    setWindowTitle(QString::fromStdString(layout.title));
    const std::vector<QComboBox*> lists = Lists();
    const std::vector<const std::vector<std::string>*> entries = {
        &layout.density,  &layout.speed,  &layout.codePage,    &layout.msrTrigger, &layout.baudRate,
        &layout.dataBits, &layout.parity, &layout.flowControl, &layout.rfInterface};
    for (std::size_t i = 0; i < lists.size(); ++i) {
        Fill(lists[i], *entries[i]);
    }
    m_ui->msrCombo->setEnabled(layout.msrTriggerEnabled);
    m_ui->advanceButton->setEnabled(layout.advanceEnabled);
    m_ui->blackMarkFrontRadio->setEnabled(layout.blackMarkEnabled);
    m_ui->blackMarkRearRadio->setEnabled(layout.blackMarkEnabled);
    m_ui->rfCombo->setEnabled(layout.rfInterfaceEnabled);
    for (QCheckBox* box : m_barcodeBoxes) {
        box->setEnabled(layout.barcodesEnabled);
    }
    m_ui->fontARadio->setVisible(layout.firstFontShown);
    if (!layout.firstFontShown) {
        m_ui->fontBRadio->setText(QString::fromStdString(layout.secondFontLabel));
        m_ui->fontCRadio->setText(QString::fromStdString(layout.thirdFontLabel));
    }
}

void CSettingsDlg::SelectLists() {
    const std::vector<QComboBox*> lists = Lists();
    const std::vector<int CEditorValues::*> values = ListValues();
    for (std::size_t i = 0; i < lists.size(); ++i) {
        lists[i]->setCurrentIndex(m_values.*values[i]);
    }
}

void CSettingsDlg::ReadLists() {
    const std::vector<QComboBox*> lists = Lists();
    const std::vector<int CEditorValues::*> values = ListValues();
    for (std::size_t i = 0; i < lists.size(); ++i) {
        m_values.*values[i] = lists[i]->currentIndex();
    }
}

void CSettingsDlg::ShowBoundValues() {
    for (const RadioGroup& group : m_radioGroups) {
        Check(group.buttons, m_values.*group.value);
    }
    for (std::size_t i = 0; i < m_barcodeBoxes.size(); ++i) {
        m_barcodeBoxes[i]->setChecked(m_values.m_b2dBarcodes[i]);
    }
    m_ui->bluetoothCheck->setChecked(!m_values.m_bBluetoothOff);
    m_ui->timeOffEdit->setText(QString::number(m_values.m_nTimeOff));
    m_ui->timeSaveEdit->setText(QString::number(m_values.m_nTimeSave));
    m_ui->btPinEdit->setText(FromBytes(m_values.m_strBtPin));
    m_ui->btNameEdit->setText(FromBytes(m_values.m_strBtName));
    m_ui->codePageTextEdit->setText(FromBytes(m_values.m_strCodePageText));
}

bool CSettingsDlg::TakeBoundValues() {
    for (const RadioGroup& group : m_radioGroups) {
        m_values.*group.value = group.buttons->checkedId();
    }
    for (std::size_t i = 0; i < m_barcodeBoxes.size(); ++i) {
        m_values.m_b2dBarcodes[i] = m_barcodeBoxes[i]->isChecked();
    }
    m_values.m_strCodePageText = ToBytes(m_ui->codePageTextEdit->text());
    if (!TakeNumber(m_ui->timeOffEdit, kMaxTimeOff, m_values.m_nTimeOff) ||
        !TakeNumber(m_ui->timeSaveEdit, kMaxTimeSave, m_values.m_nTimeSave)) {
        return false;
    }
    m_values.m_strBtPin = ToBytes(m_ui->btPinEdit->text());
    m_values.m_strBtName = ToBytes(m_ui->btNameEdit->text());
    return true;
}

bool CSettingsDlg::TakeNumber(QLineEdit* field, int maximum, int& value) {
    const FieldProblem problem = ParseUnsignedField(field->text().toStdString(), maximum, value);
    if (problem) {
        ReportProblem(problem);
        field->setFocus();
        field->selectAll();
        return false;
    }
    return true;
}

void CSettingsDlg::ReportProblem(const FieldProblem& problem) {
    QString text;
    switch (problem.kind) {
        case FieldProblem::Kind::NotANumber:
            text = tr("Please enter an integer.");
            break;
        case FieldProblem::Kind::OutOfRange:
            text = tr("Please enter an integer between 0 and %1.").arg(problem.limit);
            break;
        default:
            text = tr("Enter no more than %1 characters.").arg(problem.limit);
            break;
    }
    m_prompter.Message(this, text, GuiString(IDS_VMSM_TITLE), IPrompter::Icon::Exclamation);
}

void CSettingsDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!m_bOpened) {
        m_bOpened = true;
        // The opening takes the values once, so a time the printer holds
        // out of range is reported at once.
        TakeBoundValues();
    }
}

void CSettingsDlg::SetBluetoothEnabled(bool enabled) {
    for (QWidget* control : std::initializer_list<QWidget*>{
             m_ui->btDisableRadio, m_ui->btEnableRadio, m_ui->btMode1Radio, m_ui->btMode2Radio,
             m_ui->btMode3Radio, m_ui->btPinEdit, m_ui->btNameEdit}) {
        control->setEnabled(enabled);
    }
}

void CSettingsDlg::OnImmediateCommit() {
    TakeBoundValues();
}

void CSettingsDlg::OnBluetoothToggle() {
    TakeBoundValues();
    m_values.ToggleBluetooth();
    SetBluetoothEnabled(!m_values.m_bBluetoothOff);
    ShowBoundValues();
}

void CSettingsDlg::OnBarcodeClicked(Barcode barcode) {
    // The box has flipped itself; the held value follows, then the controls.
    const bool warn = m_values.Toggle2dBarcode(barcode);
    ShowBoundValues();
    if (warn) {
        m_prompter.Message(this, GuiString(IDS_2D_BARCODE_BOOT_WARNING), GuiString(IDS_VMSM_TITLE));
    }
}

void CSettingsDlg::OnAdvance() {
    CMsrSentinelDlg sentinels(m_values.m_Sentinels, m_prompter, this);
    if (sentinels.exec() == QDialog::Accepted) {
        m_values.m_Sentinels = sentinels.Values();
    }
}

void CSettingsDlg::OnSave() {
    if (!TakeBoundValues()) {
        return;
    }
    ReadLists();
    Close(false);
}

void CSettingsDlg::OnDefault() {
    if (TakeBoundValues()) {
        Close(true);  // the lists are not read
    }
}

void CSettingsDlg::Close(bool factoryDefault) {
    const std::optional<EditChoice> choice = m_values.Accept(factoryDefault);
    if (!choice) {
        ReportProblem(m_values.FirstRefusal()->problem);
        return;
    }
    m_choice = *choice;
    accept();
}

EditChoice CSettingsDlg::RunEditor() {
    if (exec() != QDialog::Accepted) {
        return EditChoice::Cancel;
    }
    m_values.Store(m_record, m_choice == EditChoice::Save);
    return m_choice;
}

}  // namespace printdeck
