#include "DryRun.h"

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

std::string KeyCodeMeaning(const vp::Bytes& bytes) {
    if (At(bytes, kNvFunctionAt) != 0x43) {
        return "NV image command";
    }
    const int width = At(bytes, 11) | At(bytes, 12) << 8;
    const int height = At(bytes, 13) | At(bytes, 14) << 8;
    return std::string("NV define ") + static_cast<char>(At(bytes, 8)) +
           static_cast<char>(At(bytes, 9)) + " (" + std::to_string(width) + " x " +
           std::to_string(height) + ")";
}

std::string Meaning(const vp::CommandEvent& command) {
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
        {"nv-indexed", "indexed NV download"},
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
    return m_printer ? m_printer->Record().Events() : std::vector<vp::CommandEvent>();
}

void PrintCommands(std::ostream& out, const std::vector<vp::CommandEvent>& commands) {
    for (const vp::CommandEvent& command : commands) {
        out << Hex(command.bytes) << "  " << Meaning(command) << "\n";
    }
}

}  // namespace printdeck::cli
