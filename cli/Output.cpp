#include "Output.h"

#include <cerrno>
#include <cstring>

#include "device/ResultCodes.h"

namespace printdeck::cli {

const char* const kPortForms =
    "Port strings: a serial line under /dev of at most 10 characters (ttyUSB0, ttyS0, "
    "/dev/ttyS0; COM1 is ttyS0), LPTn (/dev/lp(n-1)), a USB printer device path of more than "
    "10 characters (/dev/usb/lp0), or NET followed by an IPv4 address (NET192.168.0.10) with "
    "the TCP port, 1 to 65535, in --baud (9100 by default).";

namespace {

constexpr std::size_t kExcerptLength = 60;
// Shorter silences are the pauses of a healthy exchange.
constexpr std::uint64_t kSilenceWorthSayingMs = 1000;
constexpr std::string_view kEllipsis = "...";

// What the user can do about a port that did not open.
std::string NextStep(const CPrinterPort& port) {
    const PortOpenError& error = port.OpenError();
    if (CPrinterPort::KindOf(port.m_strPortName) == PortKind::Network) {
        return "Is the printer on and is TCP port " + std::to_string(port.m_nBaudRate) + " open?";
    }
    switch (error.failure) {
        case PortFailure::NotADevice:
            return "printdeck-cli ports lists the serial lines and USB printers of this machine.";
        case PortFailure::NoSignal:
            return "Is the printer switched on and its cable plugged in?";
        case PortFailure::LineRefused:
            return "Check --baud, --parity, --data-bits and --stop-bits.";
        case PortFailure::SystemRefused:
            break;
        default:
            return {};
    }
    switch (error.error) {
        case EACCES:
        case EPERM:
            return "Serial lines need the dialout group and USB and parallel printers the lp "
                   "group: sudo usermod -aG dialout,lp \"$USER\", then log in again.";
        case EBUSY:
            return "Close the other program that uses it, then try again.";
        case ENOENT:
        case ENODEV:
        case ENXIO:
            return "printdeck-cli ports lists the serial lines and USB printers of this machine.";
        default:
            return {};
    }
}

}  // namespace

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

std::string Excerpt(std::string_view text) {
    std::size_t length = text.size();
    if (length > kExcerptLength) {
        length = kExcerptLength - kEllipsis.size();
        // Never split a UTF-8 sequence.
        while (length > 0 && (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80) {
            --length;
        }
    }
    std::string excerpt(text.substr(0, length));
    for (char& c : excerpt) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) {
            c = '?';
        }
    }
    return length < text.size() ? excerpt + std::string(kEllipsis) : excerpt;
}

void ReportPartialWrite(const CliContext& context, const std::string& showCommand) {
    context.Err() << "The printer may already hold part of this change; printdeck-cli "
                  << showCommand << " shows what it holds.\n";
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

std::string FileDetail(const std::string& path, const FirmwareFileResult& file) {
    if (file.status == FirmwareFileStatus::TooLarge) {
        return path + ": " + std::to_string(file.size) + " bytes, at most " +
               std::to_string(kMaxFirmwareBytes);
    }
    if (file.status == FirmwareFileStatus::Empty) {
        return path + ": the file is empty";
    }
    return path + ": " + std::strerror(file.error);
}

void ReportFailure(const CliContext& context, const std::string& message,
                   std::optional<int> resultCode) {
    context.NoteFailure(TerminalText(message), resultCode);
    if (context.JsonMode()) {
        return;
    }
    context.Err() << TerminalText(message);
    if (resultCode) {
        context.Err() << " (result " << *resultCode << ": " << ResultCodeName(*resultCode) << ")";
    }
    context.Err() << "\n";
}

void ReportPortProblem(const CliContext& context, const CPrinterPort& port) {
    if (port.OpenError().failure != PortFailure::None) {
        context.Err() << port.OpenError().Text() << "\n";
        if (const std::string step = NextStep(port); !step.empty()) {
            context.Err() << step << "\n";
        }
        return;
    }
    if (const std::uint64_t silentMs = port.UnansweredMs(); silentMs >= kSilenceWorthSayingMs) {
        context.Err() << "no reply from " << DescribePort(port) << " within " << silentMs / 1000
                      << " s\n";
    }
}

}  // namespace printdeck::cli
