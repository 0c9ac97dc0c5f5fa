#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "settings_editor/EditorChoices.h"
#include "settings_editor/SentinelCodes.h"
#include "settings_editor/SettingsCycle.h"

namespace printdeck {

class CPrinterSettings;

// Why a typed value is refused; the shell words it in its own language.
struct FieldProblem {
    enum class Kind { None, NotANumber, OutOfRange, TooLong };
    Kind kind = Kind::None;
    int limit = 0;  // the largest number, or the most characters

    explicit operator bool() const { return kind != Kind::None; }
};

// The number in a time field: unsigned decimal digits, at most `maximum`.
FieldProblem ParseUnsignedField(std::string_view text, int maximum, int& value);
FieldProblem CheckTextLength(std::string_view text, int maximum);
// The problem in English, for the command line.
std::string DescribeProblem(const FieldProblem& problem);

enum class Barcode { Pdf417, DataMatrix, MaxiCode, QrCode };

// The values of the settings editor's controls, without the window: list
// and radio positions, check boxes and texts. Load gives what the window
// shows when it opens on a record; Store takes them back into the record.
// The window and `printdeck-cli settings set` both go through this class,
// so the same choice sends the same bytes.
class CEditorValues {
public:
    // As the window opens on `record`, whose m_pDevice identified the printer.
    static CEditorValues Load(const CPrinterSettings& record);
    // Writes the values back. "Default" does not read the lists
    // (`listsRead` false): the list-based fields keep their values then.
    // A list or radio group with nothing selected leaves its field alone,
    // except the black-mark sensor, which then becomes "no position".
    void Store(CPrinterSettings& record, bool listsRead) const;

    // Flips a 2D barcode box; true when the boot-time warning is due
    // (a second box checked while exactly one was counted).
    bool Toggle2dBarcode(Barcode barcode);
    void ToggleBluetooth() { m_bBluetoothOff = !m_bBluetoothOff; }

    // The first value the window would refuse on "Save", with the command
    // line's name of its field.
    struct Refusal {
        std::string_view field;
        FieldProblem problem;
    };
    std::optional<Refusal> FirstRefusal() const;

    // "Save" (factoryDefault false) or "Default" pressed, the values taken
    // from the controls: the choice the window closes with, or nullopt
    // while a value is refused and the window stays open. Only the button
    // that closes the window decides between the write and the factory
    // defaults, so a refused "Default" leaves no trace for a later "Save".
    std::optional<EditChoice> Accept(bool factoryDefault);

    // List positions.
    int m_nDensity = kNoSelection;
    int m_nSpeed = kNoSelection;
    int m_nCodePage = kNoSelection;
    int m_nMsrTrigger = kNoSelection;
    int m_nBaudRate = kNoSelection;
    int m_nDataBits = kNoSelection;
    int m_nParity = kNoSelection;
    int m_nFlowControl = kNoSelection;
    int m_nRfInterface = kNoSelection;
    // Radio positions.
    int m_nService = kNoSelection;
    int m_nFont = kNoSelection;
    int m_nBeepPaper = kNoSelection;
    int m_nBeepLowBat = kNoSelection;
    int m_nDoubleByte = kNoSelection;
    int m_nBlackMark = kNoSelection;  // 0 Front, 1 Rear
    int m_nBtSecurity = kNoSelection;
    int m_nBtConnMode = kNoSelection;
    // Check boxes, in the order of Barcode.
    std::array<bool, 4> m_b2dBarcodes{};
    int m_n2dBarcodeCount = 0;
    bool m_bBluetoothOff = true;
    // Text fields.
    int m_nTimeOff = 0;
    int m_nTimeSave = 0;
    std::string m_strBtPin;
    std::string m_strBtName;
    std::string m_strCodePageText;
    // Set when "Default" closed the window; cleared by Load.
    bool m_bFactoryDefault = false;
    // Carried for the "Advanced MSR Settings" window.
    SentinelValues m_Sentinels;
};

// The Bluetooth fields the editor shows: the printer's own from firmware
// 101000, which reports them, and fixed ones before.
struct BluetoothValues {
    int security;
    int connMode;
    std::string pin;
    std::string name;
};
BluetoothValues BluetoothShownFor(const CPrinterSettings& record);

}  // namespace printdeck
