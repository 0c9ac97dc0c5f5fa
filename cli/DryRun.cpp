#include "DryRun.h"

#include <chrono>
#include <cstdio>
#include <map>
#include <string_view>

#include "VirtualPrinter.h"

namespace printdeck::cli {

namespace {

constexpr std::size_t kSwitchNumberAt = 6;  // 1D 28 45 0B 00 03 n ...
constexpr std::size_t kSerialItemAt = 6;    // 1D 28 45 pL pH 0B item ...
constexpr std::size_t kTrackAt = 6;         // 08 4D 53 pL pH 32|33 '0'+track ...
constexpr std::size_t kNvFunctionAt = 6;    // 1D 28 4C pL pH 30 fn ...

std::string Hex(const vp::Bytes& bytes) {
    std::string text;
    char pair[4];
    for (const std::uint8_t byte : bytes) {
        std::snprintf(pair, sizeof pair, "%02X ", byte);
        text += pair;
    }
    if (!text.empty()) {
        text.pop_back();
    }
    return text;
}

std::uint8_t At(const vp::Bytes& bytes, std::size_t index) {
    return index < bytes.size() ? bytes[index] : 0;
}

std::string SerialItem(std::uint8_t item) {
    static const std::map<std::uint8_t, std::string> kItems = {{1, "serial baud rate"},
                                                               {2, "serial parity"},
                                                               {3, "serial flow control"},
                                                               {4, "serial data bits"}};
    const auto found = kItems.find(item);
    return found != kItems.end() ? found->second : "serial setting " + std::to_string(item);
}

// The two address characters at `at`.
std::string AddressAt(const vp::Bytes& bytes, std::size_t at) {
    return {static_cast<char>(At(bytes, at)), static_cast<char>(At(bytes, at + 1))};
}

std::string KeyCodeMeaning(const vp::Bytes& bytes) {
    switch (At(bytes, kNvFunctionAt)) {
        case 0x43: {  // ... 30 43 30 kc1 kc2 01 wL wH hL hH 31
            const int width = At(bytes, 11) | At(bytes, 12) << 8;
            const int height = At(bytes, 13) | At(bytes, 14) << 8;
            return "NV define " + AddressAt(bytes, 8) + " (" + std::to_string(width) + " x " +
                   std::to_string(height) + ")";
        }
        case 0x40:
            return "NV list query";
        case 0x45:
            return "NV print " + AddressAt(bytes, 7);
        case 0x42:
            return "NV delete " + AddressAt(bytes, 7);
        case 0x41:
            return "NV delete all";
        default:
            return "NV image command";
    }
}

std::string IndexedMeaning(const vp::Bytes& bytes) {
    if (At(bytes, 2) == 0x37) {
        return "indexed NV download of " + std::to_string(At(bytes, 8)) + " image(s)";
    }
    return "indexed NV command";
}

std::string Meaning(const vp::CommandEvent& command) {
    if (command.bytes == vp::Bytes{0x06}) {
        return "acknowledge (ACK)";
    }
    if (command.kind != vp::CommandEvent::Kind::Command) {
        return "not recognised by the stand-in printer";
    }
    const std::string_view handler = command.handler;
    const vp::Bytes& bytes = command.bytes;
    if (handler == "msw-write-switch") {
        return "switch " + std::to_string(At(bytes, kSwitchNumberAt)) + " write";
    }
    if (handler == "sw-write-switches") {
        return "every switch write";
    }
    if (handler == "msw-write-serial") {
        return SerialItem(At(bytes, kSerialItemAt));
    }
    if (handler == "sentinel-start" || handler == "sentinel-end") {
        return "track " + std::to_string(At(bytes, kTrackAt) - '0') +
               (handler == "sentinel-start" ? " start sentinel" : " end sentinel");
    }
    if (handler == "nv-key-code") {
        return KeyCodeMeaning(bytes);
    }
    if (handler == "nv-indexed") {
        return IndexedMeaning(bytes);
    }
    static const std::map<std::string_view, std::string> kNames = {
        {"msw-setting-start", "setting mode start"},
        {"msw-setting-end", "setting mode end"},
        {"sw-setting-start", "setting mode start"},
        {"sw-setting-end", "setting mode end"},
        {"sw-write-serial", "serial settings"},
        {"bluetooth-write", "Bluetooth security, mode, PIN and name"},
        {"bluetooth-read", "Bluetooth query"},
        {"model", "model query"},
        {"firmware", "firmware version query"},
        {"code-page", "code page query"},
        {"card-reader", "card-reader query"},
    };
    const auto found = kNames.find(handler);
    return found != kNames.end() ? found->second : std::string(handler);
}

}  // namespace

StandInPrinter::StandInPrinter() = default;
StandInPrinter::~StandInPrinter() = default;

bool StandInPrinter::TakeOver(CPrinterDevice& device, std::string& error) {
    vp::PrinterOptions options;
    options.listen = {"127.0.0.1", 0};
    // The replies' first byte is dropped when they are read.
    options.identity.model = "_" + device.m_strModelName;
    options.identity.firmware = "_" + device.m_strVersion;
    options.identity.codePage = device.m_strCodePage;
    options.identity.msr = device.m_nMsrSetting;
    m_printer = std::make_unique<vp::VirtualPrinter>(options);
    if (!m_printer->Start(&error)) {
        return false;
    }
    device.m_Port.Close();
    m_pPort = &device.m_Port;
    m_nWrittenBefore = device.m_Port.BytesWritten();
    device.m_strPortName = "NET127.0.0.1";
    device.m_nBaudRate = m_printer->Port();
    device.ApplyPortSettings();
    if (device.m_Port.Open() != 1) {
        error = "the stand-in printer does not answer";
        return false;
    }
    return true;
}

std::vector<vp::CommandEvent> StandInPrinter::Commands() const {
    if (!m_printer || m_pPort == nullptr) {
        return {};
    }
    constexpr std::chrono::seconds kDeliveryLimit{3};
    m_printer->Record().WaitForReceived(m_pPort->BytesWritten() - m_nWrittenBefore, kDeliveryLimit);
    std::vector<vp::CommandEvent> commands = m_printer->Record().Events();
    // The last bytes may still wait to be recognised (a lone ACK may begin a
    // longer command); they are what was sent all the same.
    std::size_t covered = 0;
    for (const vp::CommandEvent& command : commands) {
        covered += command.bytes.size();
    }
    const vp::Bytes received = m_printer->Record().Received();
    if (covered < received.size()) {
        vp::CommandEvent rest;
        rest.kind = vp::CommandEvent::Kind::Unknown;
        rest.bytes.assign(received.begin() + static_cast<std::ptrdiff_t>(covered), received.end());
        commands.push_back(std::move(rest));
    }
    return commands;
}

void PrintCommands(std::ostream& out, const std::vector<vp::CommandEvent>& commands) {
    for (const vp::CommandEvent& command : commands) {
        out << Hex(command.bytes) << "  " << Meaning(command) << "\n";
    }
}

}  // namespace printdeck::cli
