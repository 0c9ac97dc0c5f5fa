#include <CLI/CLI.hpp>
#include <cctype>
#include <cstdio>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "Commands.h"
#include "Output.h"
#include "SendProgress.h"
#include "app/ConfigStore.h"
#include "firmware/FirmwareFile.h"
#include "firmware/FirmwareSender.h"
#include "nvimage/NvImageList.h"
#include "nvimage/PrintFileReader.h"
#include "nvimage/QtRasterPng.h"

namespace printdeck::cli {
namespace {

struct PrnOptions {
    std::string file;
    std::string pngPrefix;
};

// Reads and decodes the print file; false after saying why.
bool ReadPrintFileAt(const CliContext& context, const std::string& path,
                     std::vector<std::uint8_t>& bytes, CPrintFileContents& contents) {
    const FirmwareFileResult read = ReadFirmwareFile(path, bytes);
    if (read.status != FirmwareFileStatus::Read) {
        ReportFailure(context, FileDetail(Excerpt(path), read), std::nullopt);
        return false;
    }
    if (const std::optional<CPrintFileFault> fault = ReadPrintFile(bytes, contents)) {
        ReportFailure(context,
                      Excerpt(path) + ": no print file, at byte " +
                          std::to_string(fault->m_nOffset) + ": " + fault->m_strReason,
                      std::nullopt);
        return false;
    }
    return true;
}

// The image's name: its NV address, shown as hex when it is not printable.
std::string ImageName(const CPrintFileImage& image) {
    if (image.m_nIndex >= 0) {
        return std::to_string(image.m_nIndex);
    }
    std::string name;
    for (const char c : image.m_strAddress) {
        const auto byte = static_cast<unsigned char>(c);
        if (std::isalnum(byte) != 0) {
            name += c;
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "x%02X", byte);
            name += hex;
        }
    }
    return name;
}

// Writes each image as PREFIX-NAME.png; the paths, or empty after a failure.
std::vector<std::string> WritePngs(const CliContext& context, const CPrintFileContents& contents,
                                   const std::string& prefix) {
    std::vector<std::string> paths;
    for (const CPrintFileImage& image : contents.m_Images) {
        const std::string path = prefix + "-" + ImageName(image) + ".png";
        std::string fault;
        if (!WriteRasterPng(image.m_Raster, path, fault)) {
            ReportFailure(context, Excerpt(path) + ": " + fault, std::nullopt);
            return {};
        }
        paths.push_back(path);
    }
    return paths;
}

void PrintContents(std::ostream& out, const std::string& path, std::size_t size,
                   const CPrintFileContents& contents, const std::vector<std::string>& pngs) {
    out << "Print file: " << TerminalText(Excerpt(path)) << ", "
        << (contents.m_bIndexed ? "indexed" : "key-code") << " family, " << contents.m_Images.size()
        << " image(s), " << size << " bytes\n";
    char line[160];
    std::snprintf(line, sizeof line, "%-8s %6s %6s %8s %8s\n",
                  contents.m_bIndexed ? "index" : "address", "width", "height", "bytes", "offset");
    out << line;
    for (std::size_t i = 0; i < contents.m_Images.size(); ++i) {
        const CPrintFileImage& image = contents.m_Images[i];
        std::snprintf(line, sizeof line, "%-8s %6d %6d %8zu %8zu", ImageName(image).c_str(),
                      image.m_Raster.m_nWidth, image.m_Raster.m_nHeight, image.m_nBytes,
                      image.m_nOffset);
        out << line << (i < pngs.size() ? "  " + TerminalText(pngs[i]) : "") << "\n";
    }
}

nlohmann::json ContentsJson(const std::string& path, std::size_t size,
                            const CPrintFileContents& contents,
                            const std::vector<std::string>& pngs) {
    nlohmann::json images = nlohmann::json::array();
    for (std::size_t i = 0; i < contents.m_Images.size(); ++i) {
        const CPrintFileImage& image = contents.m_Images[i];
        nlohmann::json entry = {{"name", ImageName(image)},
                                {"width", image.m_Raster.m_nWidth},
                                {"height", image.m_Raster.m_nHeight},
                                {"bytes", image.m_nBytes},
                                {"offset", image.m_nOffset},
                                {"png", i < pngs.size() ? nlohmann::json(pngs[i]) : nullptr}};
        images.push_back(std::move(entry));
    }
    return {{"file", path},
            {"family", contents.m_bIndexed ? "indexed" : "key-code"},
            {"bytes", size},
            {"images", images}};
}

int RunShow(const CliContext& context, const PrnOptions& options) {
    std::vector<std::uint8_t> bytes;
    CPrintFileContents contents;
    if (!ReadPrintFileAt(context, options.file, bytes, contents)) {
        return kExitFailure;
    }
    std::vector<std::string> pngs;
    if (!options.pngPrefix.empty()) {
        pngs = WritePngs(context, contents, options.pngPrefix);
        if (pngs.empty()) {
            return kExitFailure;
        }
    }
    if (context.JsonMode()) {
        context.Out() << ContentsJson(options.file, bytes.size(), contents, pngs).dump(2) << "\n";
    } else {
        PrintContents(context.Out(), options.file, bytes.size(), contents, pngs);
    }
    return kExitOk;
}

int RunSend(const CliContext& context, const PrnOptions& options) {
    std::vector<std::uint8_t> bytes;
    CPrintFileContents contents;
    if (!ReadPrintFileAt(context, options.file, bytes, contents)) {
        return kExitFailure;
    }
    CFirmwareSender sender;
    context.ConfigurePort(sender.Port());
    // The sender's own texts are the firmware window's and are not shown.
    SendProgress progress(context, "Print file send");
    if (sender.Send(bytes, &progress).outcome != FirmwareOutcome::Sent) {
        ReportFailure(context, "The print file was not sent whole.", std::nullopt);
        ReportPortProblem(context, sender.Port());
        ReportPartialWrite(context, "nv list");
        return kExitFailure;
    }
    context.Out() << "Sent " << contents.m_Images.size() << " NV image(s), " << bytes.size()
                  << " bytes.\n";
    // The store is all that knows how many images an indexed printer holds.
    if (contents.m_bIndexed &&
        !CNvImageList::WriteStoredCount(kNvKey, static_cast<int>(contents.m_Images.size()))) {
        ReportFailure(context,
                      "The images are in the printer, but their count could not be saved to " +
                          CConfigStore::StoreFilePath() + ".",
                      std::nullopt);
        return kExitFailure;
    }
    return kExitOk;
}

}  // namespace

void AddPrnCommand(CLI::App& app, CliContext& context) {
    auto options = std::make_shared<PrnOptions>();
    CLI::App* prn = app.add_subcommand(
        "prn", "Look into print files (*.prn, as nv save writes them) or send one to the printer");
    prn->require_subcommand(1);

    CLI::App* show = prn->add_subcommand(
        "show", "List the NV images a print file holds, of either family, and save them as PNG");
    show->add_option("file", options->file, "The print file")->required();
    show->add_option("--png", options->pngPrefix,
                     "Write each image as PREFIX-ADDRESS.png (key-code) or PREFIX-INDEX.png");
    context.AddJsonFlag(*show,
                        "Print {\"file\", \"family\", \"bytes\", \"images\": [{\"name\", "
                        "\"width\", \"height\", \"bytes\", \"offset\", \"png\"}]} instead");
    show->callback([&context, options] {
        context.RunOnce("prn show", [&context, options] { return RunShow(context, *options); });
    });

    CLI::App* send = prn->add_subcommand(
        "send",
        "Send a print file to the printer unchanged, after checking that it is one; for an "
        "indexed-family file, remember its image count as nv download does");
    send->add_option("file", options->file, "The print file")->required();
    send->callback([&context, options] {
        context.RunOnPrinters(
            [options](const CliContext& member) { return RunSend(member, *options); });
    });
}

}  // namespace printdeck::cli
