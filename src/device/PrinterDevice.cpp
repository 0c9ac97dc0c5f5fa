#include "device/PrinterDevice.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <vector>

#include "transport/DeviceIo.h"

namespace printdeck {
namespace {

constexpr std::array<std::array<std::uint8_t, 3>, 4> kCheckCommands = {{
    {0x1D, 0x49, 0x45},  // GS I E: code page
    {0x1D, 0x49, 0x43},  // GS I C: model
    {0x1D, 0x49, 0x41},  // GS I A: firmware version
    {0x1B, 0x4D, 0x49},  // ESC M I: card-reader setting
}};

constexpr int kCodePageBufferSize = 100;
constexpr int kMsrReplyLength = 4;

struct TextReplyShape {
    int bufferSize;
    int chunkSize;
};
constexpr TextReplyShape kModelReply{30, 20};
constexpr TextReplyShape kVersionReply{40, 40};

// Character i of a reply text, or NUL past its end.
char CharAt(const std::string& text, std::size_t i) {
    return i < text.size() ? text[i] : '\0';
}

// The characters at the given positions, read as a decimal number up to the
// first character that is not a digit.
int NumberAt(const std::string& text, std::initializer_list<std::size_t> positions) {
    std::string digits;
    for (std::size_t position : positions) {
        digits += CharAt(text, position);
    }
    return static_cast<int>(std::strtol(digits.c_str(), nullptr, 10));
}

bool HasAt(const std::string& text, std::size_t position, std::string_view expected) {
    return position <= text.size() && text.compare(position, expected.size(), expected) == 0;
}

}  // namespace

bool UsesSwDialect(int version) {
    return version >= SW_DIALECT_FIRST && version <= SW_DIALECT_LAST;
}

CPrinterDevice::CPrinterDevice() : CPrinterDevice(SystemClock()) {}

CPrinterDevice::CPrinterDevice(IClock& clock) : CPrinterDevice(clock, SystemDeviceIo()) {}

CPrinterDevice::CPrinterDevice(IClock& clock, IDeviceIo& io) : m_Port(clock, io), m_pClock(&clock) {
    m_Port.m_strPortName = m_strPortName;
    m_Port.m_nBaudRate = 115200;
    m_Port.m_nDataBits = 8;
    m_Port.m_nParity = 0;
    m_Port.m_nStopBits = 0;
    m_Port.m_nFlowControl = 0;
}

CPrinterDevice::~CPrinterDevice() = default;

void CPrinterDevice::ApplyPortSettings() {
    m_Port.m_strPortName = m_strPortName;
    m_Port.m_nBaudRate = static_cast<std::uint32_t>(m_nBaudRate);
    m_Port.m_nParity = static_cast<std::uint8_t>(m_nParity);
    m_Port.m_nDataBits = static_cast<std::uint8_t>(m_nDataBits);
    m_Port.m_nStopBits = static_cast<std::uint8_t>(m_nStopBits);
    m_Port.m_nFlowControl = m_nFlowControl;
}

int CPrinterDevice::chk_OpenCheck(int mode) {
    if (!m_Port.m_bOpen) {
        return RC_PORT_CLOSED;
    }
    if (mode < CheckCodePage || mode > CheckMsr) {
        return RC_OK;
    }
    const auto& command = kCheckCommands[static_cast<std::size_t>(mode)];
    if (m_Port.Write(command.data(), static_cast<int>(command.size())) !=
        static_cast<int>(command.size())) {
        m_Port.Close();
        return RC_WRITE_FAILED;
    }
    switch (mode) {
        case CheckCodePage:
            return ReadCodePage();
        case CheckModel:
            return ReadModel();
        case CheckVersion:
            return ReadVersion();
        default:
            return ReadMsrSetting();
    }
}

int CPrinterDevice::ReadCodePage() {
    Clock().Sleep(100);
    std::vector<std::uint8_t> buffer(kCodePageBufferSize, 0);
    const int count = m_Port.Read(buffer.data(), kCodePageBufferSize, 1000);
    m_strCodePage = ParseCodePage({buffer.data(), static_cast<std::size_t>(count)});
    return RC_OK;
}

int CPrinterDevice::ReadModel() {
    std::string reply;
    if (!CollectTextReply(kModelReply.bufferSize, kModelReply.chunkSize, reply)) {
        m_Port.Close();
        return RC_NO_REPLY;
    }
    g_Model = ParseModel(reply);
    if (g_Model == MODEL_UNKNOWN) {
        m_Port.Close();
        return RC_NOT_SUPPORTED;
    }
    m_strModelName = reply.empty() ? reply : reply.substr(1);
    return RC_OK;
}

int CPrinterDevice::ReadVersion() {
    std::string reply;
    if (!CollectTextReply(kVersionReply.bufferSize, kVersionReply.chunkSize, reply)) {
        m_Port.Close();
        return RC_NO_REPLY;
    }
    g_Getver = ParseVersion(reply);
    m_strVersion = reply.empty() ? reply : reply.substr(1);
    return RC_OK;
}

// Joins the pieces of a zero-terminated text reply. The buffer's last byte
// always stays zero, so a printer that sends more than expected cannot
// overrun it; a full buffer ends the collection early.
bool CPrinterDevice::CollectTextReply(int bufferSize, int chunkSize, std::string& reply) {
    std::vector<std::uint8_t> buffer(static_cast<std::size_t>(bufferSize), 0);
    const int capacity = bufferSize - 1;
    int count = 0;
    const std::uint64_t origin = Clock().TickCount();
    while (true) {
        int request = std::min(chunkSize, capacity - count);
        count += m_Port.Read(buffer.data() + count, request, 1000);
        if (count > 0 && buffer[static_cast<std::size_t>(count - 1)] == 0) {
            break;
        }
        if (count == capacity || Clock().TickCount() - origin > kTextReplyLimitMs) {
            break;
        }
    }
    reply = ReplyText({buffer.data(), static_cast<std::size_t>(count)});
    return count > 0;
}

int CPrinterDevice::ReadMsrSetting() {
    Clock().Sleep(200);
    std::array<std::uint8_t, kMsrReplyLength> reply{};
    int count = 0;
    const std::uint64_t origin = Clock().TickCount();
    while (true) {
        reply.fill(0);
        count = m_Port.Read(reply.data(), kMsrReplyLength, 1000);
        if (count > 0 && reply[static_cast<std::size_t>(count - 1)] == 0) {
            break;
        }
        if (Clock().TickCount() - origin > kMsrReplyLimitMs) {
            break;
        }
    }
    if (count != kMsrReplyLength) {
        m_Port.Close();
        return RC_NO_REPLY;
    }
    const std::optional<std::uint8_t> setting = ParseMsrSetting(reply);
    if (!setting) {
        m_Port.Close();
        return RC_BAD_REPLY;
    }
    m_nMsrSetting = *setting;
    return RC_OK;
}

std::string CPrinterDevice::ReplyText(std::span<const std::uint8_t> reply) {
    return std::string(reply.begin(), std::ranges::find(reply, 0));
}

std::string CPrinterDevice::ParseCodePage(std::span<const std::uint8_t> reply) {
    return reply.empty() ? "_PC437" : ReplyText(reply);
}

std::optional<std::uint8_t> CPrinterDevice::ParseMsrSetting(std::span<const std::uint8_t> reply) {
    if (reply.size() != kMsrReplyLength || reply[0] != 0x37 || reply[1] != 0x80 ||
        reply[3] != 0x00) {
        return std::nullopt;
    }
    return reply[2];
}

int CPrinterDevice::ParseModel(const std::string& reply) {
    const std::size_t length = reply.size();
    std::size_t p = 0;
    while (p < 16 && p < length && reply[p] != '_') {
        ++p;
    }
    if (p >= 16 || p >= length) {
        return MODEL_UNKNOWN;
    }
    if (HasAt(reply, p + 1, "MRQ")) {
        if (CharAt(reply, p + 5) != 'T') {
            return MODEL_UNKNOWN;
        }
        switch (CharAt(reply, p + 6)) {
            case '2':
                if (length == 11 && CharAt(reply, p + 9) == 'I' && CharAt(reply, p + 10) == 'I') {
                    return MODEL_T200II;
                }
                if (length == 10 && CharAt(reply, p + 9) == 'W') {
                    return MODEL_T200W;
                }
                return MODEL_T200;
            case '3':
                return MODEL_T300;
            case '4':
                return MODEL_T400;
            default:
                return MODEL_UNKNOWN;
        }
    }
    if (CharAt(reply, p + 1) == 'K' && CharAt(reply, p + 2) == 'T' && CharAt(reply, p + 4) == '2' &&
        CharAt(reply, p + 5) == '2') {
        return MODEL_KT220;
    }
    return MODEL_UNKNOWN;
}

int CPrinterDevice::ParseVersion(int model, const std::string& reply) {
    if (model == MODEL_T200 || model == MODEL_KT220) {
        if (HasAt(reply, 0, "_VER V")) {
            return NumberAt(reply, {6, 8, 9}) * 10;
        }
        if (HasAt(reply, 0, "_VER ")) {
            int tms = HasAt(reply, 6, "TMS") ? 1 : 0;
            return (NumberAt(reply, {11, 13, 14}) + 1000) * 10 + tms;
        }
        int beta = (CharAt(reply, 0) == '_' && CharAt(reply, 1) == 'B') ? 1 : 0;
        return (NumberAt(reply, {2, 3, 5, 6}) + 2000) * 10 + beta;
    }
    return (NumberAt(reply, {2, 3, 5, 6}) + 10000) * 10;
}

}  // namespace printdeck
