// printdeck-virtual-printer: a printer on a TCP port, for tests, benchmarks
// and demonstrations without hardware.

#include <CLI/CLI.hpp>

#include <csignal>
#include <cstdio>
#include <iostream>
#include <optional>
#include <string>

#include "VirtualPrinter.h"

namespace {

using namespace printdeck::vp;

// Exit statuses, as printdeck-cli uses them.
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

// Turns a text option into a value with `parse`, reporting `what` on failure.
template <typename Parse>
auto Converter(Parse parse, std::string what) {
    return [parse, what](const std::string& text) -> std::string {
        return parse(text) ? std::string() : "not a valid " + what + ": " + text;
    };
}

struct CommandLine {
    std::string listen = "127.0.0.1:9100";
    std::string msr;
    std::string fault = "none";
    std::optional<std::string> codePage;
    bool noCodePage = false;
};

void AddOptions(CLI::App& app, CommandLine& line, PrinterOptions& options) {
    app.set_version_flag("--version",
                         std::string("printdeck-virtual-printer ") + PRINTDECK_VERSION);
    app.add_option("--listen", line.listen,
                   "Address and port to listen on, HOST:PORT (port 0 picks a free one)")
        ->check(Converter(ParseListenAddress, "HOST:PORT"))
        ->capture_default_str();
    app.add_flag("--allow-remote", options.allowRemote,
                 "Allow a listen address other than loopback");
    app.add_option("--model", options.identity.model, "Model reply text")->capture_default_str();
    app.add_option("--firmware", options.identity.firmware, "Firmware version reply text")
        ->capture_default_str();
    auto* codePage =
        app.add_option("--code-page", line.codePage, "Code-page reply text (default _PC437)");
    app.add_flag("--no-code-page", line.noCodePage, "Leave the code-page query unanswered")
        ->excludes(codePage);
    app.add_option("--msr", line.msr,
                   "Card-reader setting byte: one character (9) or a number (57, 0x39); default 0 "
                   "(the character)")
        ->check(Converter(ParseByteSetting, "byte"));
    app.add_option("--fault", line.fault,
                   "Misbehave: none, silent, pieces[=MS], garbage, no-terminator, "
                   "close-after=N, slow=MS")
        ->check(Converter(ParseFault, "fault"))
        ->capture_default_str();
    app.add_option("--record", options.recordPath, "Write every received byte to this file");
    app.add_option("--firmware-file", options.firmwarePath,
                   "Receive firmware: store everything each connection sends in this file, "
                   "without answering commands");
    app.add_option("--nv-list-block", options.nvListBlockCodes,
                   "NV key codes per reply block of the NV image list")
        ->check(CLI::Range(std::size_t{1}, kDefaultNvListBlockCodes))
        ->capture_default_str();
}

void ApplyCommandLine(const CommandLine& line, PrinterOptions& options) {
    options.listen = *ParseListenAddress(line.listen);
    options.fault = *ParseFault(line.fault);
    if (!line.msr.empty()) {
        options.identity.msr = *ParseByteSetting(line.msr);
    }
    if (line.noCodePage) {
        options.identity.codePage.reset();
    } else if (line.codePage) {
        options.identity.codePage = line.codePage;
    }
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app("A printer that answers the printdeck command set over TCP.",
                 "printdeck-virtual-printer");
    CommandLine line;
    PrinterOptions options;
    AddOptions(app, line, options);
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        return app.exit(e) == 0 ? 0 : kExitUsage;
    }
    ApplyCommandLine(line, options);
    if (const std::string refusal = ListenRefusal(options); !refusal.empty()) {
        std::cerr << "printdeck-virtual-printer: " << refusal << '\n';
        return kExitUsage;
    }

    // Blocked before the printer's thread starts, so that it inherits the
    // mask and the signals are taken only by sigwait below.
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);

    VirtualPrinter printer(options);
    std::string error;
    if (!printer.Start(&error)) {
        std::cerr << "printdeck-virtual-printer: " << error << '\n';
        return kExitFailure;
    }
    std::cout << "listening on " << printer.Host() << ':' << printer.Port() << std::endl;

    int received = 0;
    sigwait(&signals, &received);
    printer.Stop();
    return 0;
}
