#include "Cli.h"

#include <CLI/CLI.hpp>

#include "CliContext.h"
#include "Commands.h"
#include "Interrupts.h"

namespace printdeck::cli {

int RunCli(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
    const Interrupts interrupts;
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
    context.AddJsonFlag(app,
                        "JSON mode for any command: a failure is one JSON object on standard "
                        "error, a command with a JSON form prints it, and a fleet run "
                        "(--ports) prints its summary as {\"printers\": [{\"port\", \"model\", "
                        "\"firmware\", \"exitStatus\", \"outcome\", \"seconds\", \"log\", "
                        "\"output\", \"error\"}], \"succeeded\", \"failed\"}");

    AddIdentifyCommand(app, context);
    AddPortsCommand(app, context);
    AddNvCommand(app, context);
    AddFirmwareCommand(app, context);
    AddSettingsCommand(app, context);
    AddDoctorCommand(app, context);
    AddPrnCommand(app, context);

    app.parse_complete_callback([&app, &context] {
        // These two look at the machine, not at the stored connection.
        if (app.got_subcommand("ports") || app.got_subcommand("doctor")) {
            return;
        }
        if (const int status = context.CheckBeforeRun(); status != kExitOk) {
            throw CLI::RuntimeError(status);
        }
    });

    int status = kExitOk;
    try {
        app.parse(argc, argv);
        status = context.ExitCode();
    } catch (const CLI::RuntimeError& e) {
        status = e.get_exit_code();
    } catch (const CLI::ParseError& e) {
        if (e.get_exit_code() == 0 || !context.JsonMode()) {
            return app.exit(e, out, err) == 0 ? kExitOk : kExitUsage;
        }
        context.NoteFailure(e.what(), std::nullopt);
        status = kExitUsage;
    }
    if (status != kExitOk && Interrupts::Requested()) {
        status = kExitInterrupted;
    }
    context.FinishRun(status);
    return status;
}

}  // namespace printdeck::cli
