#include "Output.h"

#include "device/ResultCodes.h"

namespace printdeck::cli {

std::string DescribePort(const CPrinterPort& port) {
    switch (CPrinterPort::KindOf(port.m_strPortName)) {
        case PortKind::Network:
            return port.m_strPortName + " (TCP port " + std::to_string(port.m_nBaudRate & 0xFFFF) +
                   ")";
        case PortKind::Serial:
            return port.m_strPortName + " (" + std::to_string(port.m_nBaudRate) + " baud)";
        default:
            return port.m_strPortName;
    }
}

std::string TerminalText(const std::string& message) {
    std::string text;
    for (std::size_t i = 0; i < message.size(); ++i) {
        if (message[i] == '\r' && i + 1 < message.size() && message[i + 1] == '\n') {
            continue;
        }
        text += message[i];
    }
    return text;
}

void ReportFailure(const CliContext& context, const std::string& message,
                   std::optional<int> resultCode) {
    context.Err() << TerminalText(message);
    if (resultCode) {
        context.Err() << " (result " << *resultCode << ": " << ResultCodeName(*resultCode) << ")";
    }
    context.Err() << "\n";
}

void ReportOpenError(const CliContext& context, const CPrinterPort& port) {
    if (port.OpenError().failure != PortFailure::None) {
        context.Err() << port.OpenError().Text() << "\n";
    }
}

}  // namespace printdeck::cli
