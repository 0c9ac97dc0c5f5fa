#pragma once

#include <QDialog>
#include <array>
#include <initializer_list>
#include <memory>
#include <vector>

#include "settings_editor/EditorValues.h"
#include "settings_editor/SettingsCycle.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QRadioButton;

namespace Ui {
class CSettingsDlg;
}

namespace printdeck {

struct EditorLayout;
class IPrompter;

// The settings editor: shows the record as the read run left it, adapted to
// the printer's model and firmware, and lets the user change every setting.
// It never talks to the printer; on "Save" or "Default" it stores its
// values back into the record and the settings cycle writes them.
class CSettingsDlg : public QDialog {
    Q_OBJECT

public:
    CSettingsDlg(CPrinterSettings& record, IPrompter& prompter, QWidget* parent = nullptr);
    ~CSettingsDlg() override;

    // Runs the window modally; when "Save" or "Default" closed it, the
    // values are stored into the record. The way the user left.
    EditChoice RunEditor();

protected:
    void showEvent(QShowEvent* event) override;

private slots:
    void OnSave();
    void OnDefault();
    void OnAdvance();
    void OnBluetoothToggle();
    // A radio click or a change of text: takes the values at once.
    void OnImmediateCommit();

private:
    struct RadioGroup {
        QButtonGroup* buttons;
        int CEditorValues::*value;
    };

    void AddRadioGroup(int CEditorValues::*value, std::initializer_list<QRadioButton*> buttons);
    std::vector<QComboBox*> Lists() const;
    static std::vector<int CEditorValues::*> ListValues();
    void ConnectSignals();
    void ApplyLayout(const EditorLayout& layout);
    void SelectLists();
    void ReadLists();
    // The values bound to the radio buttons, check boxes and text fields.
    void ShowBoundValues();
    // False after telling the user why a field holds no valid value.
    bool TakeBoundValues();
    bool TakeNumber(QLineEdit* field, int maximum, int& value);
    void ReportProblem(const FieldProblem& problem);
    void SetBluetoothEnabled(bool enabled);
    void OnBarcodeClicked(Barcode barcode);
    void Close(bool factoryDefault);

    std::unique_ptr<Ui::CSettingsDlg> m_ui;
    CPrinterSettings& m_record;
    IPrompter& m_prompter;
    CEditorValues m_values;
    std::vector<RadioGroup> m_radioGroups;
    std::array<QCheckBox*, 4> m_barcodeBoxes{};
    EditChoice m_choice = EditChoice::Cancel;
    bool m_bOpened = false;
};

}  // namespace printdeck
