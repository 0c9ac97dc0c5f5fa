#include <CLI/CLI.hpp>
#include <algorithm>
#include <memory>

#include "Commands.h"
#include "DryRun.h"
#include "NvSession.h"
#include "Output.h"
#include "app/StringTable.h"

namespace printdeck::cli {
namespace {

struct NvOptions {
    NvRequest request;
    std::string target;  // address to print or delete
    bool all = false;
    std::string file;  // print file to save
};

// The row of `address` in the printer's list; false after saying why not.
bool FindAddress(NvSession& session, const std::string& address, int& row, int& exitCode) {
    exitCode = session.CheckAddress(address);
    if (exitCode != kExitOk) {
        return false;
    }
    const std::vector<std::string>& addresses = session.List().m_NvAddresses;
    const auto found = std::find(addresses.begin(), addresses.end(), address);
    if (found == addresses.end()) {
        ReportFailure(session.Context(),
                      "The printer holds no NV image at address " + address + ".", std::nullopt);
        exitCode = kExitFailure;
        return false;
    }
    row = static_cast<int>(found - addresses.begin());
    return true;
}

int RunList(const CliContext& context) {
    NvSession session(context);
    if (!session.ReadAddresses()) {
        return kExitFailure;
    }
    session.PrintAddresses();
    return kExitOk;
}

int RunDownload(const CliContext& context, const NvRequest& request) {
    NvSession session(context);
    if (!session.ReadAddresses()) {
        return kExitFailure;
    }
    if (const int status = session.Prepare(request); status != kExitOk) {
        return status;
    }
    StandInPrinter standIn;
    std::string error;
    if (request.dryRun && !standIn.TakeOver(session.Device(), error)) {
        ReportFailure(context, "Dry run: " + error, std::nullopt);
        return kExitFailure;
    }
    CNvDownloadFlow flow = session.Flow(request);
    flow.m_bStoreCount = !request.dryRun;
    const CNvResult result = flow.Download();
    if (const int status = session.Report(result); status != kExitOk) {
        // Refusals come before the first byte; these two after it.
        if (!request.dryRun &&
            (result.m_nCode == RC_NV_OPERATION_FAILED || result.m_nCode == RC_NV_NOT_CONFIRMED)) {
            ReportPartialWrite(context, "nv list");
        }
        return status;
    }
    if (request.dryRun) {
        context.Out() << "Dry run: nothing was sent. The download would send:\n";
        PrintCommands(context.Out(), standIn.Commands());
        return kExitOk;
    }
    context.Out() << "Downloaded " << session.List().m_nStoredCount << " NV image(s).\n";
    session.PrintAddresses();
    return kExitOk;
}

int RunSave(const CliContext& context, const NvOptions& options) {
    NvSession session(context);
    if (!session.ReadAddresses()) {
        return kExitFailure;
    }
    if (const int status = session.Prepare(options.request); status != kExitOk) {
        return status;
    }
    if (const int status = session.Report(session.Flow(options.request).Save(options.file));
        status != kExitOk) {
        return status;
    }
    context.Out() << LoadString(IDS_PRINT_FILES_SAVED) << "\n";
    return kExitOk;
}

int RunPrint(const CliContext& context, const NvOptions& options) {
    NvSession session(context);
    if (!session.ReadAddresses()) {
        return kExitFailure;
    }
    CNvImageList& list = session.List();
    if (options.all) {
        list.m_nStoredCount = static_cast<int>(list.m_NvAddresses.size());
        return session.Run(NvPrintAll) ? kExitOk : kExitFailure;
    }
    CNvOperationSequence print(list, NvPrintSelected);
    int exitCode = kExitOk;
    if (!FindAddress(session, options.target, print.m_nIndex, exitCode)) {
        return exitCode;
    }
    print.m_strAddress = options.target;
    return session.Run(print) ? kExitOk : kExitFailure;
}

int RunDelete(const CliContext& context, const NvOptions& options) {
    NvSession session(context);
    if (!session.ReadAddresses()) {
        return kExitFailure;
    }
    CNvImageList& list = session.List();
    CNvOperationSequence remove(list, options.all ? NvDeleteAll : NvDeleteSelected);
    remove.m_strAddress = options.target;
    int exitCode = kExitOk;
    // An indexed printer refuses single deletes in the sequence itself.
    if (!options.all && !list.IsIndexedNvPrinter() &&
        !FindAddress(session, options.target, remove.m_nIndex, exitCode)) {
        return exitCode;
    }
    if (!session.Run(remove)) {
        return kExitFailure;
    }
    session.PrintAddresses();
    return kExitOk;
}

void AddImageOptions(CLI::App& command, NvOptions& options) {
    command.add_option("images", options.request.images, "BMP files, in download order")
        ->required();
    command
        .add_option("--brightness", options.request.brightness,
                    "Lightens the images, 0 (darkest) to 100; default 0")
        ->check(CLI::Range(0, 100));
    CLI::Option* address =
        command
            .add_option("--address", options.request.addresses,
                        "Two-character NV address of the next image (key-code printers; "
                        "repeat once per image)")
            ->allow_extra_args(false);
    command
        .add_flag("--auto", options.request.autoAddress,
                  "Choose free NV addresses 10, 11, ... (key-code printers)")
        ->excludes(address);
}

void AddTargetOptions(CLI::App& command, NvOptions& options, const std::string& verb) {
    CLI::Option* target =
        command.add_option("address", options.target, "NV address of the image to " + verb);
    command.add_flag("--all", options.all, verb + " every NV image")->excludes(target);
    command.require_option(1);
}

}  // namespace

void AddNvCommand(CLI::App& app, CliContext& context) {
    auto options = std::make_shared<NvOptions>();
    CLI::App* nv = app.add_subcommand(
        "nv", "Manage the printer's NV images: list, download, print, delete, save print files");
    nv->require_subcommand(1);

    CLI::App* list = nv->add_subcommand("list", "List the NV addresses the printer holds");
    context.AddJsonFlag(*list,
                        "Print {\"family\": \"key-code\" or \"indexed\", \"addresses\": [...]} "
                        "instead");
    list->callback([&context] { context.RunOnPrinters(RunList); });

    CLI::App* download = nv->add_subcommand("download", "Download BMP images as NV images");
    AddImageOptions(*download, *options);
    download->add_flag("--dry-run", options->request.dryRun,
                       "Read the printer's NV list as usual, then print the commands the "
                       "download would send, one per line in hex with its meaning, and send "
                       "none of them");
    download->callback([&context, options] {
        context.RunOnPrinters(
            [options](const CliContext& member) { return RunDownload(member, options->request); });
    });

    CLI::App* print = nv->add_subcommand("print", "Print one or all NV images");
    AddTargetOptions(*print, *options, "print");
    print->callback([&context, options] {
        context.RunOnPrinters(
            [options](const CliContext& member) { return RunPrint(member, *options); });
    });

    CLI::App* remove = nv->add_subcommand("delete", "Delete one or all NV images");
    AddTargetOptions(*remove, *options, "delete");
    remove->callback([&context, options] {
        context.RunOnPrinters(
            [options](const CliContext& member) { return RunDelete(member, *options); });
    });

    CLI::App* save = nv->add_subcommand(
        "save", "Save the download of BMP images as a print file instead of sending it");
    save->add_option("file", options->file, "Print file (*.prn) to write")->required();
    AddImageOptions(*save, *options);
    save->callback([&context, options] {
        context.RunOnce("nv save", [&context, options] { return RunSave(context, *options); });
    });
}

}  // namespace printdeck::cli
