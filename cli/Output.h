#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "CliContext.h"
#include "firmware/FirmwareFile.h"
#include "transport/PrinterPort.h"

namespace printdeck::cli {

// The port strings printdeck-cli accepts, for usage messages.
extern const char* const kPortForms;

// "NET127.0.0.1 (TCP port 9100)", "ttyUSB0 (115200 baud)" or the device path.
std::string DescribePort(const CPrinterPort& port);

// Prints a failure message on the error stream, with the result code and its
// name when a printer operation produced one. Line breaks inside the message
// are printed as line breaks of the terminal.
void ReportFailure(const CliContext& context, const std::string& message,
                   std::optional<int> resultCode);

// Why the port failed a run and what to do about it: why its last Open
// failed, or how long the printer left the last command unanswered; says
// nothing when neither happened.
void ReportPortProblem(const CliContext& context, const CPrinterPort& port);

// Why a file was not read whole, naming it.
std::string FileDetail(const std::string& path, const FirmwareFileResult& file);

// Text from the user or a file as a message quotes it: at most about 60
// characters, control characters shown as '?', so a long or hostile value
// cannot flood or steer the terminal.
std::string Excerpt(std::string_view text);

// After a write run that stopped part-way: the printer may hold part of it,
// and `showCommand` (such as "settings get") shows what it holds.
void ReportPartialWrite(const CliContext& context, const std::string& showCommand);

// A message of the program's own texts, whose CR LF breaks become the
// terminal's line breaks.
std::string TerminalText(const std::string& message);

}  // namespace printdeck::cli
