#include <CLI/CLI.hpp>
#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "Commands.h"
#include "Output.h"
#include "SendProgress.h"
#include "app/StringTable.h"
#include "firmware/FirmwareSender.h"
#include "firmware/FirmwareTexts.h"

namespace printdeck::cli {
namespace {

// Says on the terminal what the firmware window would show.
class TerminalFirmwareListener : public SendProgress {
public:
    explicit TerminalFirmwareListener(const CliContext& context)
        : SendProgress(context, "Firmware download"), m_context(context) {}

    void OnStatus(const std::string& text) override { m_context.Out() << text << "\n"; }
    void OnMessage(const std::string& text) override {
        if (text == kFirmwareSuccess) {
            m_context.Out() << text << "\n";
        } else {
            ReportFailure(m_context, text, std::nullopt);
        }
    }

private:
    const CliContext& m_context;
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

// Opens the port to show that the printer is there, then prints the pieces
// the download would write, each with its place in the file.
int RunFirmwareDryRun(const CliContext& context, const std::string& path) {
    std::vector<std::uint8_t> bytes;
    const FirmwareFileResult file = ReadFirmwareFile(path, bytes);
    if (file.status != FirmwareFileStatus::Read) {
        ReportFailure(context, FileDetail(path, file), std::nullopt);
        return kExitFailure;
    }
    CPrinterPort port;
    context.ConfigurePort(port);
    if (port.Open() != 1) {
        ReportFailure(context, LoadString(IDS_PORT_OPEN_ERROR), std::nullopt);
        ReportPortProblem(context, port);
        return kExitFailure;
    }
    port.Close();
    const std::size_t pieces =
        (bytes.size() + CFirmwareSender::kPieceBytes - 1) / CFirmwareSender::kPieceBytes;
    context.Out() << "Dry run: nothing was sent to " << DescribePort(port) << ". The download "
                  << "would send " << bytes.size() << " bytes in " << pieces << " piece(s):\n";
    for (std::size_t piece = 0; piece < pieces; ++piece) {
        const std::size_t first = piece * CFirmwareSender::kPieceBytes;
        const std::size_t end = std::min(bytes.size(), first + CFirmwareSender::kPieceBytes);
        char hex[4];
        for (std::size_t i = first; i < end; ++i) {
            std::snprintf(hex, sizeof hex, i + 1 < end ? "%02X " : "%02X", bytes[i]);
            context.Out() << hex;
        }
        context.Out() << "  firmware piece " << piece + 1 << " of " << pieces << " (bytes " << first
                      << " to " << end - 1 << ")\n";
    }
    return kExitOk;
}

}  // namespace

void AddFirmwareCommand(CLI::App& app, CliContext& context) {
    CLI::App* command =
        app.add_subcommand("firmware", "Send a firmware file (*.fls) to the printer unchanged");
    auto path = std::make_shared<std::string>();
    command->add_option("file", *path, "The firmware file")->required();
    auto dryRun = std::make_shared<bool>(false);
    command->add_flag("--dry-run", *dryRun,
                      "Open the port, then print the pieces the download would send, one per "
                      "line in hex, and send none of them");
    command->callback([&context, path, dryRun] {
        context.RunOnPrinters([path, dryRun](const CliContext& member) {
            return *dryRun ? RunFirmwareDryRun(member, *path) : RunFirmware(member, *path);
        });
    });
}

}  // namespace printdeck::cli
