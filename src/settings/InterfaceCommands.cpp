#include <cstdlib>
#include <optional>
#include <string>

#include "device/PrinterDevice.h"
#include "settings/PrinterSettings.h"
#include "settings/SettingsFrames.h"
#include "settings/SettingsLink.h"
#include "settings/SettingsReplies.h"
#include "settings/SwitchCodec.h"

namespace printdeck {

using namespace settings;

namespace {

Bytes ToBytes(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

SwitchContext MswContext(const CPrinterDevice& device) {
    return {Dialect::Msw, device.g_Getver, device.m_nMsrSetting};
}

bool ValidTrack(int track) {
    return track >= 1 && track <= 3;
}

std::string& TrackText(CPrinterSettings& settings, int track, bool start) {
    switch (track) {
        case 1:
            return start ? settings.m_strTrack1Start : settings.m_strTrack1End;
        case 2:
            return start ? settings.m_strTrack2Start : settings.m_strTrack2End;
        default:
            return start ? settings.m_strTrack3Start : settings.m_strTrack3End;
    }
}

std::optional<SentinelTexts>& Unreported(CPrinterSettings& settings, int track) {
    return settings.m_unreportedSentinels[static_cast<std::size_t>(track - 1)];
}

SentinelTexts TrackTexts(CPrinterSettings& settings, int track) {
    return {TrackText(settings, track, true), TrackText(settings, track, false)};
}

int ReadSerialItem(CPrinterSettings& settings, Dialect dialect, int n) {
    CSettingsLink link(settings.m_pDevice);
    if (!link.IsOpen()) {
        return RC_PORT_CLOSED;
    }
    if (const int rc = link.Send(ReadSerialCommand(dialect, n)); rc != RC_OK) {
        return rc;
    }
    const Bytes reply = link.CollectTerminated(kSerialReplyLimit, kReplyWaitMs).bytes;
    const SerialReply parsed = ParseSerialReply(reply, n);
    if (parsed.rc != RC_OK) {
        return link.Fail(parsed.rc);
    }
    switch (n) {
        case 1:
            settings.Baudrate = parsed.value.value_or(settings.Baudrate);
            break;
        case 2:
            settings.Parity = parsed.value.value_or(settings.Parity);
            break;
        case 3:
            settings.Flowcontrol = parsed.value.value_or(settings.Flowcontrol);
            break;
        case 4:
            settings.Databit = parsed.value.value_or(settings.Databit);
            break;
        default:
            break;
    }
    return RC_OK;
}

}  // namespace

int CPrinterSettings::ReadMswSerial(int n) {
    return ReadSerialItem(*this, Dialect::Msw, n);
}

int CPrinterSettings::ReadSwSerial(int n) {
    return ReadSerialItem(*this, Dialect::Sw, n);
}

int CPrinterSettings::WriteMswSerial(int n) {
    CSettingsLink link(m_pDevice);
    if (!link.IsOpen()) {
        return RC_PORT_CLOSED;
    }
    std::string value;
    switch (n) {
        case 1:
            value = BaudText(Baudrate);
            break;
        case 2:
            value = DigitChar(Parity);
            break;
        case 3:
            value = DigitChar(Flowcontrol);
            break;
        case 4:
            value = DigitChar(Databit);
            break;
        default:
            return RC_NOT_SUPPORTED;
    }
    if (const int rc = link.Send(MswSerialHeader(n, value.size())); rc != RC_OK) {
        return rc;
    }
    return link.Send(ToBytes(value));
}

int CPrinterSettings::WriteSwSerial() {
    CSettingsLink link(m_pDevice);
    if (!link.IsOpen()) {
        return RC_PORT_CLOSED;
    }
    return link.Send(SwSerialCommand(Baudrate, Parity, Flowcontrol, Databit));
}

int CPrinterSettings::ReadBluetooth(int item) {
    CSettingsLink link(m_pDevice);
    if (!link.IsOpen()) {
        return RC_PORT_CLOSED;
    }
    if (const int rc = link.Send(BluetoothReadCommand(item)); rc != RC_OK) {
        return rc;
    }
    const BluetoothReply reply =
        ParseBluetoothReply(link.CollectWhileFlowing(kBluetoothReplyLimit, kBluetoothWaitMs));
    if (reply.rc != RC_OK) {
        return link.Fail(reply.rc);
    }
    switch (reply.letter) {
        case 'c':
            m_nBtConnMode = reply.number;
            break;
        case 's':
            m_nBtSecurity = reply.number;
            break;
        case 'd':
            m_strBtName = reply.text;
            break;
        default:
            m_strBtPin = reply.text;
            break;
    }
    return RC_OK;
}

int CPrinterSettings::WriteBluetooth() {
    CSettingsLink link(m_pDevice);
    if (!link.IsOpen()) {
        return RC_PORT_CLOSED;
    }
    const Bytes command =
        BluetoothWriteCommand(m_nBtSecurity, m_nBtConnMode, m_strBtPin, m_strBtName);
    if (command.empty()) {
        return RC_BAD_VALUE;  // PIN and name do not fit; sending a cut name would store it
    }
    return link.Send(command);
}

int CPrinterSettings::ReadRfInterface() {
    CSettingsLink link(m_pDevice);
    if (!link.IsOpen()) {
        return RC_PORT_CLOSED;
    }
    if (m_pDevice->g_Getver < kNewFirmwareVersion) {
        return RC_NOT_SUPPORTED;
    }
    if (const int rc = link.Send(ReadSwitchCommand(Dialect::Msw, kRfSwitch)); rc != RC_OK) {
        return rc;
    }
    const std::optional<SwitchBlock> block =
        ParseRfReply(link.CollectTerminated(kShortReplyLimit, kShortReplyWaitMs).bytes);
    if (!block) {
        return RC_BAD_VALUE;
    }
    DecodeSwitch(kRfSwitch, *block, MswContext(*m_pDevice), *this);
    return RC_OK;
}

int CPrinterSettings::WriteRfInterface() {
    CSettingsLink link(m_pDevice);
    if (!link.IsOpen()) {
        return RC_PORT_CLOSED;
    }
    if (m_pDevice->g_Getver < kNewFirmwareVersion) {
        return RC_NOT_SUPPORTED;
    }
    if (const int rc = link.SendAny(MswSwitchWriteHeader()); rc != RC_OK) {
        return rc;
    }
    const SwitchBlock block = EncodeSwitch(kRfSwitch, *this, MswContext(*m_pDevice));
    return link.SendAny(MswSwitchWriteData(kRfSwitch, block));
}

int CPrinterSettings::ReadSentinel(int track) {
    CSettingsLink link(m_pDevice);
    if (!link.IsOpen()) {
        return RC_PORT_CLOSED;
    }
    if (!ValidTrack(track)) {
        return RC_NOT_SUPPORTED;
    }
    if (const int rc = link.Send(SentinelReadCommand(track)); rc != RC_OK) {
        return rc;
    }
    const SentinelReply reply = ParseSentinelReply(
        link.CollectTerminated(kShortReplyLimit, kShortReplyWaitMs).bytes, track);
    if (!reply.report) {
        Unreported(*this, track) = TrackTexts(*this, track);
        return RC_OK;
    }
    Unreported(*this, track).reset();
    TrackText(*this, track, true) = reply.start;
    TrackText(*this, track, false) = reply.end;
    return RC_OK;
}

int CPrinterSettings::WriteSentinel(int track) {
    CSettingsLink link(m_pDevice);
    if (!link.IsOpen()) {
        return RC_PORT_CLOSED;
    }
    if (!ValidTrack(track)) {
        return RC_NOT_SUPPORTED;
    }
    if (Unreported(*this, track) == TrackTexts(*this, track)) {
        return RC_OK;
    }
    const std::string& start = TrackText(*this, track, true);
    const std::string& end = TrackText(*this, track, false);
    // A text the printer's 12-byte field cannot hold is refused whole.
    if (start.size() > kSentinelTextLimit || end.size() > kSentinelTextLimit) {
        return RC_BAD_VALUE;
    }
    const Bytes writes[] = {SentinelStartHeader(track, start.size()), ToBytes(start),
                            SentinelEndHeader(track, end.size()),
                            end.empty() ? Bytes{0x00} : ToBytes(end)};
    for (const Bytes& write : writes) {
        if (const int rc = link.Send(write); rc != RC_OK) {
            return rc;
        }
    }
    return RC_OK;
}

int CPrinterSettings::SetFactoryDefault() {
    CSettingsLink link(m_pDevice);
    if (!link.IsOpen()) {
        return RC_PORT_CLOSED;
    }
    if (const int rc = link.Send(FactoryDefaultBlock(m_pDevice->g_Model, m_pDevice->g_Getver));
        rc != RC_OK) {
        return rc;
    }
    const auto reply =
        link.CollectFixed(kSettingModeReplyLength, kSettingModeReadRoom, kFactoryDefaultWaitMs);
    if (!reply || *reply != Bytes{kReplyMark, kReplySettingMode, 0x00}) {
        return link.Fail(RC_NO_REPLY);
    }
    return RC_OK;
}

}  // namespace printdeck
