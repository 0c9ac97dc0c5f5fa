#include <CLI/CLI.hpp>
#include <memory>
#include <string>

#include "Commands.h"
#include "Output.h"
#include "ProgressLine.h"
#include "firmware/FirmwareSender.h"
#include "firmware/FirmwareTexts.h"

namespace printdeck::cli {
namespace {

// Says on the terminal what the firmware window would show.
class TerminalFirmwareListener : public IFirmwareListener {
public:
    explicit TerminalFirmwareListener(const CliContext& context)
        : m_context(context), m_progress(context.NewProgressLine()) {}

    void OnStatus(const std::string& text) override { m_context.Out() << text << "\n"; }
    void OnMessage(const std::string& text) override {
        if (text == kFirmwareSuccess) {
            m_context.Out() << text << "\n";
        } else {
            ReportFailure(m_context, text, std::nullopt);
        }
    }
    void OnProgress(const FirmwareProgress& progress) override {
        m_progress.Show("Firmware download : " + std::to_string(progress.percent) + " %");
    }
    void OnSending(bool active) override {
        if (!active) {
            m_progress.End();
        }
    }

private:
    const CliContext& m_context;
    ProgressLine m_progress;
};

int RunFirmware(const CliContext& context, const std::string& path) {
    CFirmwareSender sender;
    context.ConfigurePort(sender.Port());
    context.Out() << "Port:         " << DescribePort(sender.Port()) << "\n";
    TerminalFirmwareListener listener(context);
    const FirmwareResult result = sender.Download(path, &listener);
    if (result.file.status != FirmwareFileStatus::Read) {
        context.Err() << FileDetail(path, result.file) << "\n";
    }
    ReportPortProblem(context, sender.Port());
    return result.outcome == FirmwareOutcome::Sent ? kExitOk : kExitFailure;
}

}  // namespace

void AddFirmwareCommand(CLI::App& app, CliContext& context) {
    CLI::App* command =
        app.add_subcommand("firmware", "Send a firmware file (*.fls) to the printer unchanged");
    auto path = std::make_shared<std::string>();
    command->add_option("file", *path, "The firmware file")->required();
    command->callback([&context, path] { context.SetExitCode(RunFirmware(context, *path)); });
}

}  // namespace printdeck::cli
