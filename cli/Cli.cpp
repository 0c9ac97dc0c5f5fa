#include "Cli.h"

#include <CLI/CLI.hpp>

#include "CliContext.h"
#include "Commands.h"

namespace printdeck::cli {

int RunCli(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
    CliContext context(out, err);
    CLI::App app{
        "printdeck-cli: read and write the configuration of portable receipt and label "
        "printers, manage their NV logo images and send firmware, over a serial line, a USB "
        "printer device or TCP.",
        "printdeck-cli"};
    app.set_version_flag("--version", std::string("printdeck-cli ") + PRINTDECK_VERSION);
    app.require_subcommand(1);
    app.footer(
        "Exit status: 0 done; 1 the printer or a file failed (doctor: a problem was found); 2 "
        "usage error; 130 interrupted (Ctrl-C).");
    app.fallthrough();
    context.AddConnectionOptions(app);

    AddIdentifyCommand(app, context);
    AddPortsCommand(app, context);
    AddNvCommand(app, context);
    AddFirmwareCommand(app, context);
    AddSettingsCommand(app, context);
    AddDoctorCommand(app, context);

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        return app.exit(e, out, err) == 0 ? kExitOk : kExitUsage;
    }
    return context.ExitCode();
}

}  // namespace printdeck::cli
