#include "settings_editor/SettingsTransfer.h"

#include <span>
#include <type_traits>

#include "app/StringTable.h"
#include "device/PrinterDevice.h"
#include "settings/PrinterSettings.h"

namespace printdeck {
namespace {

using Operation = int (*)(CPrinterSettings&, int argument);
using Condition = bool (*)(const CPrinterDevice&);

// Adapts a record operation, with or without its int argument, to Operation.
template <auto Member>
int Call(CPrinterSettings& settings, int argument) {
    if constexpr (std::is_invocable_v<decltype(Member), CPrinterSettings&, int>) {
        return (settings.*Member)(argument);
    } else {
        return (settings.*Member)();
    }
}

int CheckDevice(CPrinterSettings& settings, int mode) {
    return settings.m_pDevice->chk_OpenCheck(mode);
}

bool HasSwitch3(const CPrinterDevice& device) {
    return device.g_Getver >= 1040;
}
bool HasMswSwitch7(const CPrinterDevice& device) {
    return device.g_Getver != 11060;
}
bool HasSwSwitch7(const CPrinterDevice& device) {
    return device.m_nMsrSetting != 'P';
}
bool HasSentinels(const CPrinterDevice& device) {
    return device.g_Getver >= 21021;
}
bool IsNewFirmware(const CPrinterDevice& device) {
    return device.g_Getver >= 101000;
}
// Switch 81 is written on every new printer but read only on models that
// report it.
bool ReportsSwitch81(const CPrinterDevice& device) {
    return IsNewFirmware(device) && device.g_Model != MODEL_T200 && device.g_Model != MODEL_T200W &&
           device.g_Model != MODEL_T200II;
}

struct TransferRow {
    Condition applies;  // nullptr: on every printer
    Operation operation;
    int argument;
    int failureMessage;
    bool advanceWhenSkipped = false;
    // Sent in place of a skipped operation that a framed command still counts.
    Operation replacement = nullptr;
};

constexpr TransferRow kReadMswRows[] = {
    {nullptr, CheckDevice, CheckCodePage, IDS_FAILED_TO_GET_CODE_PAGE},
    {nullptr, CheckDevice, CheckMsr, IDS_FAILED_TO_GET_MSR_MODE},
    {nullptr, Call<&CPrinterSettings::ReadMsw>, 1, IDS_FAILED_TO_READ_SW1},
    {nullptr, Call<&CPrinterSettings::ReadMsw>, 2, IDS_FAILED_TO_READ_SW2},
    {HasSwitch3, Call<&CPrinterSettings::ReadMsw>, 3, IDS_FAILED_TO_READ_SW3},
    {nullptr, Call<&CPrinterSettings::ReadMsw>, 5, IDS_FAILED_TO_READ_SW5},
    {nullptr, Call<&CPrinterSettings::ReadMsw>, 6, IDS_FAILED_TO_READ_SW6},
    {HasMswSwitch7, Call<&CPrinterSettings::ReadMsw>, 7, IDS_FAILED_TO_READ_SW7},
    {nullptr, Call<&CPrinterSettings::ReadMsw>, 8, IDS_FAILED_TO_READ_MSW8},
    {ReportsSwitch81, Call<&CPrinterSettings::ReadMsw>, 81, IDS_FAILED_TO_READ_SW51, true},
    {nullptr, Call<&CPrinterSettings::ReadMswSerial>, 1, IDS_FAILED_TO_READ_IFSW1},
    {nullptr, Call<&CPrinterSettings::ReadMswSerial>, 2, IDS_FAILED_TO_READ_IFSW2},
    {nullptr, Call<&CPrinterSettings::ReadMswSerial>, 3, IDS_FAILED_TO_READ_IFSW3},
    {nullptr, Call<&CPrinterSettings::ReadMswSerial>, 4, IDS_FAILED_TO_READ_IFSW4},
    {HasSentinels, Call<&CPrinterSettings::ReadSentinel>, 1, IDS_FAILED_TO_READ_TRACK1_SENTINEL},
    {HasSentinels, Call<&CPrinterSettings::ReadSentinel>, 2, IDS_FAILED_TO_READ_TRACK2_SENTINEL},
    {HasSentinels, Call<&CPrinterSettings::ReadSentinel>, 3, IDS_FAILED_TO_READ_TRACK3_SENTINEL},
    {IsNewFirmware, Call<&CPrinterSettings::ReadRfInterface>, 0, IDS_FAILED_TO_SET_RF_INTERFACE},
    {IsNewFirmware, Call<&CPrinterSettings::ReadBluetooth>, 'c',
     IDS_FAILED_TO_READ_BT_CONNECTION_MODE},
    {IsNewFirmware, Call<&CPrinterSettings::ReadBluetooth>, 'd', IDS_FAILED_TO_READ_BT_DEVICE_NAME},
    {IsNewFirmware, Call<&CPrinterSettings::ReadBluetooth>, 'k', IDS_FAILED_TO_READ_BT_PIN},
    {IsNewFirmware, Call<&CPrinterSettings::ReadBluetooth>, 's', IDS_FAILED_TO_READ_BT_ENCRYPTION},
};

constexpr TransferRow kReadSwRows[] = {
    {nullptr, CheckDevice, CheckCodePage, IDS_FAILED_TO_GET_CODE_PAGE},
    {nullptr, CheckDevice, CheckMsr, IDS_FAILED_TO_GET_MSR_MODE},
    {nullptr, Call<&CPrinterSettings::ReadSw>, 1, IDS_FAILED_TO_READ_MSW1},
    {nullptr, Call<&CPrinterSettings::ReadSw>, 2, IDS_FAILED_TO_READ_MSW2},
    {nullptr, Call<&CPrinterSettings::ReadSw>, 3, IDS_FAILED_TO_READ_MSW3},
    {nullptr, Call<&CPrinterSettings::ReadSw>, 5, IDS_FAILED_TO_READ_MSW5},
    {nullptr, Call<&CPrinterSettings::ReadSw>, 6, IDS_FAILED_TO_READ_MSW6},
    {HasSwSwitch7, Call<&CPrinterSettings::ReadSw>, 7, IDS_FAILED_TO_READ_MSW7},
    {nullptr, Call<&CPrinterSettings::ReadSw>, 8, IDS_FAILED_TO_READ_MSW8},
    {nullptr, Call<&CPrinterSettings::ReadSwSerial>, 1, IDS_FAILED_TO_READ_IFSW1},
    {nullptr, Call<&CPrinterSettings::ReadSwSerial>, 2, IDS_FAILED_TO_READ_IFSW2},
    {nullptr, Call<&CPrinterSettings::ReadSwSerial>, 3, IDS_FAILED_TO_READ_IFSW3},
    {nullptr, Call<&CPrinterSettings::ReadSwSerial>, 4, IDS_FAILED_TO_READ_IFSW4},
    {HasSentinels, Call<&CPrinterSettings::ReadSentinel>, 1, IDS_FAILED_TO_READ_TRACK1_SENTINEL},
    {HasSentinels, Call<&CPrinterSettings::ReadSentinel>, 2, IDS_FAILED_TO_READ_TRACK2_SENTINEL},
    {HasSentinels, Call<&CPrinterSettings::ReadSentinel>, 3, IDS_FAILED_TO_READ_TRACK3_SENTINEL},
};

constexpr TransferRow kWriteMswRows[] = {
    {nullptr, Call<&CPrinterSettings::BeginMswSetting>, 0, IDS_FAILED_TO_SET_INITIAL_COMMAND},
    {nullptr, Call<&CPrinterSettings::WriteMsw>, 1, IDS_FAILED_TO_READ_MSW1},
    {nullptr, Call<&CPrinterSettings::WriteMsw>, 2, IDS_FAILED_TO_READ_MSW2},
    {HasSwitch3, Call<&CPrinterSettings::WriteMsw>, 3, IDS_FAILED_TO_READ_MSW3},
    {nullptr, Call<&CPrinterSettings::WriteMsw>, 5, IDS_FAILED_TO_READ_MSW5},
    {nullptr, Call<&CPrinterSettings::WriteMsw>, 6, IDS_FAILED_TO_READ_MSW6},
    {HasMswSwitch7, Call<&CPrinterSettings::WriteMsw>, 7, IDS_FAILED_TO_READ_MSW7},
    {nullptr, Call<&CPrinterSettings::WriteMsw>, 8, IDS_FAILED_TO_READ_MSW8},
    {IsNewFirmware, Call<&CPrinterSettings::WriteMsw>, 81, IDS_FAILED_TO_READ_SW51, true},
    {nullptr, Call<&CPrinterSettings::WriteMswSerial>, 1, IDS_FAILED_TO_READ_IFSW1},
    {nullptr, Call<&CPrinterSettings::WriteMswSerial>, 2, IDS_FAILED_TO_READ_IFSW2},
    {nullptr, Call<&CPrinterSettings::WriteMswSerial>, 3, IDS_FAILED_TO_READ_IFSW3},
    {nullptr, Call<&CPrinterSettings::WriteMswSerial>, 4, IDS_FAILED_TO_READ_IFSW4},
    {HasSentinels, Call<&CPrinterSettings::WriteSentinel>, 1, IDS_FAILED_TO_SET_TRACK1_SENTINEL},
    {HasSentinels, Call<&CPrinterSettings::WriteSentinel>, 2, IDS_FAILED_TO_SET_TRACK2_SENTINEL},
    {HasSentinels, Call<&CPrinterSettings::WriteSentinel>, 3, IDS_FAILED_TO_SET_TRACK3_SENTINEL},
    {IsNewFirmware, Call<&CPrinterSettings::WriteRfInterface>, 0, IDS_FAILED_TO_SET_RF_INTERFACE},
    {nullptr, Call<&CPrinterSettings::EndMswSetting>, 0, IDS_FAILED_TO_WRITE_SETTING_END},
};

constexpr TransferRow kWriteSwRows[] = {
    {nullptr, Call<&CPrinterSettings::BeginSwSetting>, 0, IDS_FAILED_TO_SET_INITIAL_COMMAND},
    {nullptr, Call<&CPrinterSettings::WriteSw>, 1, IDS_FAILED_TO_READ_MSW1},
    {nullptr, Call<&CPrinterSettings::WriteSw>, 2, IDS_FAILED_TO_READ_MSW2},
    {nullptr, Call<&CPrinterSettings::WriteSw>, 3, IDS_FAILED_TO_READ_MSW3},
    {nullptr, Call<&CPrinterSettings::WriteSw>, 5, IDS_FAILED_TO_READ_MSW5},
    {nullptr, Call<&CPrinterSettings::WriteSw>, 6, IDS_FAILED_TO_READ_MSW6},
    // The write command announces seven blocks, so a skipped switch 7 still
    // sends its block, as "leave unchanged".
    {HasSwSwitch7, Call<&CPrinterSettings::WriteSw>, 7, IDS_FAILED_TO_READ_MSW7, false,
     Call<&CPrinterSettings::WriteSwUnchanged>},
    {nullptr, Call<&CPrinterSettings::WriteSw>, 8, IDS_FAILED_TO_READ_MSW8},
    {nullptr, Call<&CPrinterSettings::WriteSwSerial>, 0, IDS_FAILED_TO_SET_SERIAL},
    {nullptr, Call<&CPrinterSettings::EndSwSetting>, 0, IDS_FAILED_TO_WRITE_SETTING_END},
    {HasSentinels, Call<&CPrinterSettings::WriteSentinel>, 1, IDS_FAILED_TO_SET_TRACK1_SENTINEL},
    {HasSentinels, Call<&CPrinterSettings::WriteSentinel>, 2, IDS_FAILED_TO_SET_TRACK2_SENTINEL},
    {HasSentinels, Call<&CPrinterSettings::WriteSentinel>, 3, IDS_FAILED_TO_SET_TRACK3_SENTINEL},
};

// Where the Bluetooth row of a write group stands against the finish timer.
enum class BluetoothRow { None, AfterFinishTimerStarts, BeforeFinishTimerStarts };

constexpr int kConnectPoints = 5;
constexpr int kFastPauseMs = 2;
constexpr int kFactoryDefaultPoints = 99;
constexpr int kFactoryDefaultPauseMs = 50;
constexpr int kBluetoothPoints = 20;
constexpr int kBluetoothPauseMs = 200;

}  // namespace

struct CSettingsTransfer::Group {
    std::span<const TransferRow> rows;
    int increment;
    int label;
    BluetoothRow bluetooth;
};

TransferOutcome CSettingsTransfer::Start(int mode) {
    m_nMode = mode;
    if (mode == TransferNone) {
        return TransferOutcome::Of(TransferOutcome::Kind::Cancelled);
    }
    m_nPercent = 0;
    m_bCancelRequested = false;
    if (m_pSettings == nullptr || m_pSettings->m_pDevice == nullptr) {
        return Fail(IDS_PORT_OPEN_ERROR);
    }
    switch (mode) {
        case ReadFromPrinter:
            return TransferOutcome::Next(StepOpenForRead, kStepDelayMs);
        case WriteToPrinter:
            return TransferOutcome::Next(StepOpenForWrite, kStepDelayMs);
        default:
            return TransferOutcome::Next(StepFactoryDefault, kStepDelayMs);
    }
}

TransferOutcome CSettingsTransfer::RunStep(int step) {
    static const Group kReadMsw{kReadMswRows, 4, IDS_GET_STATUS, BluetoothRow::None};
    static const Group kReadSw{kReadSwRows, 4, IDS_GET_STATUS, BluetoothRow::None};
    static const Group kWriteMsw{kWriteMswRows, 4, IDS_SET_STATUS,
                                 BluetoothRow::AfterFinishTimerStarts};
    static const Group kWriteSw{kWriteSwRows, 7, IDS_SET_STATUS,
                                BluetoothRow::BeforeFinishTimerStarts};

    if (m_bCancelRequested) {
        return TransferOutcome::Of(TransferOutcome::Kind::Cancelled);
    }
    switch (step) {
        case StepOpenForRead:
            return OpenForRead();
        case StepOpenForWrite:
            return OpenForWrite();
        case StepFactoryDefault:
            return FactoryDefault();
        case StepReadMsw:
            return RunGroup(kReadMsw);
        case StepReadSw:
            return RunGroup(kReadSw);
        case StepWriteMsw:
            return RunGroup(kWriteMsw);
        case StepWriteSw:
            return RunGroup(kWriteSw);
        case StepFinish:
            return Finish();
        default:
            return TransferOutcome::Of(TransferOutcome::Kind::Ignored);
    }
}

bool CSettingsTransfer::Run(int mode) {
    return RunStepChain(Clock(), Start(mode), [this](int step) { return RunStep(step); });
}

void CSettingsTransfer::AdvanceProgress(int steps, const std::string& label) {
    AdvanceProgressSlow(steps, label, kFastPauseMs);
}

void CSettingsTransfer::AdvanceProgressSlow(int steps, const std::string& label, int delayMs) {
    for (int i = 0; i < steps && m_nPercent < 100; ++i) {
        ++m_nPercent;
        ShowPoint(label + " : " + std::to_string(m_nPercent) + " %");
        Clock().Sleep(static_cast<std::uint32_t>(delayMs));
    }
}

TransferOutcome CSettingsTransfer::OpenForRead() {
    const std::string label = LoadString(IDS_GET_STATUS);
    if (!EnsurePortOpen()) {
        return Fail(IDS_PORT_OPEN_ERROR);
    }
    AdvanceProgress(kConnectPoints, label);
    CPrinterDevice& device = *m_pSettings->m_pDevice;
    if (!Succeeded(device.chk_OpenCheck(CheckModel), IDS_MODEL_NOT_MATCHED)) {
        return TransferOutcome::Of(TransferOutcome::Kind::Failed);
    }
    AdvanceProgress(kConnectPoints, label);
    if (!Succeeded(device.chk_OpenCheck(CheckVersion), IDS_FAILED_TO_GET_VERSION)) {
        return TransferOutcome::Of(TransferOutcome::Kind::Failed);
    }
    AdvanceProgress(kConnectPoints, label);
    return TransferOutcome::Next(UsesSwDialect(device.g_Getver) ? StepReadSw : StepReadMsw,
                                 kStepDelayMs);
}

TransferOutcome CSettingsTransfer::OpenForWrite() {
    if (!EnsurePortOpen()) {
        return Fail(IDS_PORT_OPEN_ERROR);
    }
    AdvanceProgress(kConnectPoints, LoadString(IDS_SET_STATUS));
    // The model and version stay as the read run found them.
    const bool sw = UsesSwDialect(m_pSettings->m_pDevice->g_Getver);
    return TransferOutcome::Next(sw ? StepWriteSw : StepWriteMsw, kStepDelayMs);
}

TransferOutcome CSettingsTransfer::FactoryDefault() {
    const std::string label = LoadString(IDS_SET_STATUS);
    if (!EnsurePortOpen()) {
        return Fail(IDS_PORT_OPEN_ERROR);
    }
    AdvanceProgress(kConnectPoints, label);
    if (!Succeeded(m_pSettings->SetFactoryDefault(), IDS_FAILED_TO_SET_FACTORY_DEFAULT) ||
        !PrinterTookEverything(IDS_FAILED_TO_SET_FACTORY_DEFAULT)) {
        return TransferOutcome::Of(TransferOutcome::Kind::Failed);
    }
    AdvanceProgressSlow(kFactoryDefaultPoints, label, kFactoryDefaultPauseMs);
    return TransferOutcome::Next(StepFinish, kStepDelayMs);
}

TransferOutcome CSettingsTransfer::RunGroup(const Group& group) {
    const std::string label = LoadString(group.label);
    CPrinterDevice& device = *m_pSettings->m_pDevice;
    for (const TransferRow& row : group.rows) {
        const bool applies = row.applies == nullptr || row.applies(device);
        Operation operation = applies ? row.operation : row.replacement;
        if (operation != nullptr &&
            !Succeeded(operation(*m_pSettings, row.argument), row.failureMessage)) {
            return TransferOutcome::Of(TransferOutcome::Kind::Failed);
        }
        if (applies || row.advanceWhenSkipped) {
            AdvanceProgress(group.increment, label);
        }
    }
    if (group.bluetooth == BluetoothRow::None) {
        return TransferOutcome::Next(StepFinish, kStepDelayMs);
    }
    // The finish timer counts from the end of the group, before or after
    // the Bluetooth row as the dialect's run has it.
    std::uint64_t finishDue = Clock().TickCount() + kFinishAfterWriteDelayMs;
    if (!WriteBluetoothIfEnabled(label)) {
        return TransferOutcome::Of(TransferOutcome::Kind::Failed);
    }
    // Our own check that the printer is still there does not shorten the
    // printer's pause.
    const std::uint64_t askedAt = Clock().TickCount();
    if (!PrinterTookEverything(IDS_FAILED_TO_WRITE_SETTING_END)) {
        return TransferOutcome::Of(TransferOutcome::Kind::Failed);
    }
    finishDue += Clock().TickCount() - askedAt;
    if (group.bluetooth == BluetoothRow::BeforeFinishTimerStarts) {
        return TransferOutcome::Next(StepFinish, kFinishAfterWriteDelayMs);
    }
    const std::uint64_t now = Clock().TickCount();
    return TransferOutcome::Next(StepFinish,
                                 now >= finishDue ? 0 : static_cast<int>(finishDue - now));
}

bool CSettingsTransfer::WriteBluetoothIfEnabled(const std::string& label) {
    if (m_pSettings->m_bBluetoothOff != 0) {
        return true;
    }
    if (!Succeeded(m_pSettings->WriteBluetooth(), IDS_FAILED_TO_SET_BLUETOOTH)) {
        return false;
    }
    AdvanceProgressSlow(kBluetoothPoints, label, kBluetoothPauseMs);
    return true;
}

bool CSettingsTransfer::PrinterTookEverything(int failureMessage) {
    return Succeeded(m_pSettings->m_pDevice->chk_OpenCheck(CheckModel), failureMessage);
}

TransferOutcome CSettingsTransfer::Finish() {
    const std::string label = LoadString(IDS_COMPLETED);
    while (m_nPercent < 100) {
        ++m_nPercent;
        ShowPoint(label + "...: " + std::to_string(m_nPercent) + " %");
        Clock().Sleep(kFastPauseMs);
    }
    return TransferOutcome::Of(TransferOutcome::Kind::Finished);
}

bool CSettingsTransfer::EnsurePortOpen() {
    CPrinterPort& port = m_pSettings->m_pDevice->m_Port;
    return port.m_bOpen != 0 || port.Open() != 0;
}

bool CSettingsTransfer::Succeeded(int result, int failureMessage) {
    if (result == RC_OK) {
        return true;
    }
    m_strError = LoadString(failureMessage);
    return false;
}

TransferOutcome CSettingsTransfer::Fail(int failureMessage) {
    m_strError = LoadString(failureMessage);
    return TransferOutcome::Of(TransferOutcome::Kind::Failed);
}

void CSettingsTransfer::ShowPoint(const std::string& text) {
    m_strPercent = text;
    if (m_progress) {
        m_progress(m_nPercent, m_strPercent);
    }
}

IClock& CSettingsTransfer::Clock() const {
    return m_pSettings->m_pDevice->Clock();
}

}  // namespace printdeck
