// Every printer reply parser, fed the reply bytes alone: the first byte
// chooses the parser, the second its argument (item, track, switch, firmware),
// the rest is the reply. Accepted values must lie in their fields' ranges.

#include <array>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>

#include "device/PrinterDevice.h"
#include "nvimage/NvListReply.h"
#include "settings/PrinterSettings.h"
#include "settings/SettingsReplies.h"
#include "settings/SwitchCodec.h"

namespace {

using namespace printdeck;
using namespace printdeck::settings;

constexpr std::array kModels = {MODEL_UNKNOWN, MODEL_T200, MODEL_T200W, MODEL_T200II,
                                MODEL_KT220,   MODEL_T300, MODEL_T400};
constexpr std::array kVersions = {0, 1040, 11060, 11061, 21000, 21021, 100999, 101000};
constexpr std::array kSwitches = {1, 2, 3, 4, 5, 6, 7, 8, 80, 81};

template <typename T, std::size_t N>
T Pick(const std::array<T, N>& choices, std::uint8_t argument) {
    return choices[argument % N];
}

void Require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

void Identification(int parser, std::uint8_t argument, const Bytes& reply) {
    const std::string text = CPrinterDevice::ReplyText(reply);
    switch (parser) {
        case 0:
            CPrinterDevice::ParseModel(text);
            break;
        case 1:
            CPrinterDevice::ParseVersion(Pick(kModels, argument), text);
            break;
        case 2:
            Require(!CPrinterDevice::ParseCodePage(reply).empty() || reply[0] == 0);
            break;
        default:
            CPrinterDevice::ParseMsrSetting(reply);
            break;
    }
}

void Switch(std::uint8_t argument, const Bytes& reply) {
    const auto block = ParseSwitchReply(reply);
    if (!block) {
        return;
    }
    CPrinterSettings settings;
    const SwitchContext context{argument & 0x80 ? Dialect::Sw : Dialect::Msw,
                                Pick(kVersions, argument >> 4),
                                static_cast<std::uint8_t>(argument)};
    DecodeSwitch(Pick(kSwitches, argument), *block, context, settings);
}

void Interface(int parser, std::uint8_t argument, const Bytes& reply) {
    switch (parser) {
        case 5: {
            const int n = argument % 6;
            const SerialReply serial = ParseSerialReply(reply, n);
            if (serial.rc == RC_OK && serial.value) {
                const int v = *serial.value;
                Require(n == 1   ? v > 0
                        : n == 2 ? v >= 0 && v <= 2
                        : n == 3 ? v >= 0 && v <= 1
                                 : v == 7 || v == 8);
            }
            break;
        }
        case 6: {
            const BluetoothReply bluetooth = ParseBluetoothReply(reply);
            if (bluetooth.rc == RC_OK && bluetooth.letter == 'c') {
                Require(bluetooth.number >= 0 && bluetooth.number <= 2);
            }
            if (bluetooth.rc == RC_OK && bluetooth.letter == 's') {
                Require(bluetooth.number >= 0 && bluetooth.number <= 1);
            }
            break;
        }
        case 7: {
            const auto rf = ParseRfReply(reply);
            const int selection = rf ? DecodeRfInterface((*rf)[6], (*rf)[7]) : 0;
            Require(selection >= 0 && selection <= 2);
            break;
        }
        default: {
            const SentinelReply sentinel = ParseSentinelReply(reply, argument % 4);
            Require(sentinel.start.size() <= reply.size() && sentinel.end.size() <= reply.size());
            break;
        }
    }
}

void NvList(const Bytes& reply) {
    const CKeyCodeBlock block = ParseKeyCodeBlock(reply);
    for (const std::string& code : block.m_KeyCodes) {
        Require(code.size() == 2 && code[0] != '\0' && code[1] != '\0');
    }
    Require(block.m_bWellFormed || block.m_KeyCodes.empty());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) {
        return 0;
    }
    const int parser = data[0] % 10;
    const std::uint8_t argument = data[1];
    const Bytes reply(data + 2, data + size);
    if (parser <= 3) {
        Identification(parser, argument, reply);
    } else if (parser == 4) {
        Switch(argument, reply);
    } else if (parser <= 8) {
        Interface(parser, argument, reply);
    } else {
        NvList(reply);
    }
    return 0;
}
