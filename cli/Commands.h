#pragma once

#include "CliContext.h"

namespace printdeck::cli {

// Each command registers itself as a subcommand of the program; its
// callback runs the command and sets the context's exit status.
void AddIdentifyCommand(CLI::App& app, CliContext& context);
void AddPortsCommand(CLI::App& app, CliContext& context);
void AddNvCommand(CLI::App& app, CliContext& context);
void AddFirmwareCommand(CLI::App& app, CliContext& context);
void AddSettingsCommand(CLI::App& app, CliContext& context);
void AddDoctorCommand(CLI::App& app, CliContext& context);
void AddPrnCommand(CLI::App& app, CliContext& context);

}  // namespace printdeck::cli
