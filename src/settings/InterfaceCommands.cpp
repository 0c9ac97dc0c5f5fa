#include <cstdlib>
#include <optional>
#include <string>

#include "device/PrinterDevice.h"
#include "settings/PrinterSettings.h"
#include "settings/SettingsFrames.h"
#include "settings/SettingsLink.h"
#include "settings/SwitchCodec.h"

namespace printdeck {

using namespace settings;

namespace {

// Byte k (from 1) of a reply, or 00 past its end.
std::uint8_t At(const Bytes& reply, std::size_t k) {
    return k <= reply.size() ? reply[k - 1] : 0x00;
}

// The reply's text from byte k up to its first 00 (or its end).
std::string TextFrom(const Bytes& reply, std::size_t k) {
    std::string text;
    for (std::size_t i = k; i <= reply.size() && reply[i - 1] != 0x00; ++i) {
        text.push_back(static_cast<char>(reply[i - 1]));
    }
    return text;
}

// Drops everything before the first occurrence of `mark`, `second`.
void SkipTo(Bytes& reply, std::uint8_t mark, std::uint8_t second) {
    for (std::size_t i = 0; i + 1 < reply.size(); ++i) {
        if (reply[i] == mark && reply[i + 1] == second) {
            reply.erase(reply.begin(), reply.begin() + static_cast<long>(i));
            return;
        }
    }
}

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
    if (reply.size() >= kSerialReplyLimit) {
        return link.Fail(RC_NO_REPLY);
    }
    if (At(reply, 1) != kReplyMark || At(reply, 2) != kReplySerial ||
        At(reply, 3) != static_cast<std::uint8_t>(DigitChar(n)) ||
        At(reply, 4) != kSerialSeparator) {
        return link.Fail(RC_BAD_REPLY);
    }
    const int digit = At(reply, 5) - '0';
    switch (n) {
        case 1:
            settings.Baudrate = std::atoi(TextFrom(reply, 5).c_str());
            break;
        case 2:
            settings.Parity = digit;
            break;
        case 3:
            settings.Flowcontrol = digit;
            break;
        case 4:
            settings.Databit = digit;
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
    const Bytes reply = link.CollectWhileFlowing(kBluetoothReplyLimit, kBluetoothWaitMs);
    if (At(reply, 1) != kReplyMark || At(reply, 2) != kReplyBluetooth) {
        return link.Fail(RC_NO_REPLY);
    }
    // The letter in the reply decides, not the item asked for.
    const std::uint8_t letter = At(reply, 3);
    const bool hasValue = reply.size() >= 4;
    switch (letter) {
        case 'c':
            if (!hasValue) {
                return link.Fail(RC_BAD_REPLY);
            }
            m_nBtConnMode = At(reply, 4) - '1';
            return RC_OK;
        case 's':
            if (!hasValue) {
                return link.Fail(RC_BAD_REPLY);
            }
            m_nBtSecurity = At(reply, 4) - '0';
            return RC_OK;
        case 'd':
            m_strBtName = TextFrom(reply, 4);
            return RC_OK;
        case 'k':
            m_strBtPin = TextFrom(reply, 4);
            return RC_OK;
        default:
            return link.Fail(RC_BAD_REPLY);
    }
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
    Bytes reply = link.CollectTerminated(kShortReplyLimit, kShortReplyWaitMs).bytes;
    SkipTo(reply, kReplyMark, kReplySwitch);
    const std::uint8_t d7 = At(reply, 9);
    const std::uint8_t d8 = At(reply, 10);
    if (At(reply, 1) != kReplyMark || d7 == 0x00 || d8 == 0x00) {
        return RC_BAD_VALUE;
    }
    SwitchBlock block{};
    for (std::size_t k = 0; k < block.size(); ++k) {
        block[k] = static_cast<char>(At(reply, k + 3));
    }
    DecodeSwitch(kRfSwitch, block, MswContext(*m_pDevice), *this);
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
    Bytes reply = link.CollectTerminated(kShortReplyLimit, kShortReplyWaitMs).bytes;
    SkipTo(reply, kReplyMark, kReplySentinel);
    // Any one of mark, type and track in place counts as a sentinel report.
    if (At(reply, 1) != kReplyMark && At(reply, 2) != kReplySentinel &&
        At(reply, 3) != static_cast<std::uint8_t>(DigitChar(track))) {
        Unreported(*this, track) = TrackTexts(*this, track);
        return RC_OK;
    }
    Unreported(*this, track).reset();
    std::string texts[2];
    int current = 0;
    for (std::size_t k = 4; k <= reply.size() && reply[k - 1] != 0x00; ++k) {
        if (reply[k - 1] == kSentinelSeparator && current == 0) {
            current = 1;
        } else {
            texts[current].push_back(static_cast<char>(reply[k - 1]));
        }
    }
    TrackText(*this, track, true) = texts[0];
    TrackText(*this, track, false) = texts[1];
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
