#include "device/PrinterDevice.h"
#include "settings/PrinterSettings.h"
#include "settings/SettingsFrames.h"
#include "settings/SettingsLink.h"
#include "settings/SettingsReplies.h"
#include "settings/SwitchCodec.h"

namespace printdeck {

using namespace settings;

namespace {

SwitchContext ContextOf(const CPrinterDevice& device, Dialect dialect) {
    return {dialect, device.g_Getver, device.m_nMsrSetting};
}

int BeginSetting(CPrinterDevice* device, Dialect dialect, int badReplyCode) {
    CSettingsLink link(device);
    if (const int rc = link.Send(BeginSettingCommand(dialect)); rc != RC_OK) {
        return rc;
    }
    const auto reply =
        link.CollectFixed(kSettingModeReplyLength, kSettingModeReadRoom, kReplyWaitMs);
    if (!reply) {
        return link.Fail(RC_NO_REPLY);
    }
    if (*reply != Bytes{kReplyMark, kReplySettingMode, 0x00}) {
        return link.Fail(badReplyCode);
    }
    return RC_OK;
}

int EndSetting(CPrinterDevice* device, Dialect dialect) {
    CSettingsLink link(device);
    if (!link.IsOpen()) {
        return RC_PORT_CLOSED;
    }
    return link.Send(EndSettingCommand(dialect));
}

// Sends the switch query and checks the reply's frame; the block on success.
int QuerySwitch(CSettingsLink& link, Dialect dialect, int n, SwitchBlock& block) {
    if (!link.IsOpen()) {
        return RC_PORT_CLOSED;
    }
    if (const int rc = link.Send(ReadSwitchCommand(dialect, n)); rc != RC_OK) {
        return rc;
    }
    const auto reply = link.CollectFixed(kSwitchReplyLength, 0, kReplyWaitMs);
    if (!reply) {
        return link.Fail(RC_NO_REPLY);
    }
    const std::optional<SwitchBlock> parsed = ParseSwitchReply(*reply);
    if (!parsed) {
        return link.Fail(RC_BAD_REPLY);
    }
    block = *parsed;
    return RC_OK;
}

}  // namespace

int CPrinterSettings::BeginMswSetting() {
    return BeginSetting(m_pDevice, Dialect::Msw, RC_BAD_REPLY);
}

int CPrinterSettings::BeginSwSetting() {
    if (!CSettingsLink(m_pDevice).IsOpen()) {
        return RC_PORT_CLOSED;
    }
    return BeginSetting(m_pDevice, Dialect::Sw, RC_NO_REPLY);
}

int CPrinterSettings::EndMswSetting() {
    return EndSetting(m_pDevice, Dialect::Msw);
}

int CPrinterSettings::EndSwSetting() {
    return EndSetting(m_pDevice, Dialect::Sw);
}

int CPrinterSettings::ReadMsw(int n) {
    CSettingsLink link(m_pDevice);
    SwitchBlock block{};
    if (const int rc = QuerySwitch(link, Dialect::Msw, n, block); rc != RC_OK) {
        return rc;
    }
    // Older firmware answers the black-mark query without holding the setting.
    if (n == kBlackMarkSwitch && m_pDevice->g_Getver < kNewFirmwareVersion) {
        return RC_NOT_SUPPORTED;
    }
    if (!DecodeSwitch(n, block, ContextOf(*m_pDevice, Dialect::Msw), *this)) {
        return link.Fail(RC_BAD_REPLY);
    }
    return RC_OK;
}

int CPrinterSettings::ReadSw(int n) {
    CSettingsLink link(m_pDevice);
    SwitchBlock block{};
    if (const int rc = QuerySwitch(link, Dialect::Sw, n, block); rc != RC_OK) {
        return rc;
    }
    DecodeSwitch(n, block, ContextOf(*m_pDevice, Dialect::Sw), *this);
    return RC_OK;
}

int CPrinterSettings::WriteMsw(int n) {
    CSettingsLink link(m_pDevice);
    if (!link.IsOpen()) {
        return RC_PORT_CLOSED;
    }
    if (n == kBlackMarkSwitch) {
        if (m_pDevice->g_Getver < kNewFirmwareVersion) {
            return link.Fail(RC_NOT_SUPPORTED);
        }
        // No sensor position chosen (never read, or no selection): leave
        // the printer's own setting alone rather than send garbage.
        if (!IsBlackMarkSetting(BlackMarkSensor)) {
            return RC_OK;
        }
    }
    const SwitchBlock block = EncodeSwitch(n, *this, ContextOf(*m_pDevice, Dialect::Msw));
    if (const int rc = link.Send(MswSwitchWriteHeader()); rc != RC_OK) {
        return rc;
    }
    return link.Send(MswSwitchWriteData(n, block));
}

namespace {

// One block of the seven-block SW write; switch 1 opens the command.
int SendSwBlock(CPrinterDevice* device, int n, const SwitchBlock& block) {
    CSettingsLink link(device);
    if (!link.IsOpen()) {
        return RC_PORT_CLOSED;
    }
    if (n == 1) {
        if (const int rc = link.Send(SwSwitchWriteHeader()); rc != RC_OK) {
            return rc;
        }
    }
    return link.Send(BlockBytes(block));
}

}  // namespace

int CPrinterSettings::WriteSw(int n) {
    if (n == kBlackMarkSwitch) {
        return RC_NOT_SUPPORTED;
    }
    if (!CSettingsLink(m_pDevice).IsOpen()) {
        return RC_PORT_CLOSED;
    }
    return SendSwBlock(m_pDevice, n, EncodeSwitch(n, *this, ContextOf(*m_pDevice, Dialect::Sw)));
}

int CPrinterSettings::WriteSwUnchanged(int n) {
    return SendSwBlock(m_pDevice, n, kUnchangedBlock);
}

}  // namespace printdeck
