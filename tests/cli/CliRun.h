#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "Cli.h"
#include "support/VirtualPrinterFixture.h"

namespace printdeck::test {

// Runs printdeck-cli in-process with the arguments that follow the program
// name; both streams are emptied first.
inline int RunCliWith(std::vector<std::string> args, std::ostringstream& out,
                      std::ostringstream& err) {
    args.insert(args.begin(), "printdeck-cli");
    std::vector<const char*> argv;
    for (const std::string& arg : args) {
        argv.push_back(arg.c_str());
    }
    out.str("");
    err.str("");
    return cli::RunCli(static_cast<int>(argv.size()), argv.data(), out, err);
}

// The connection options that point printdeck-cli at a virtual printer,
// followed by the command's own arguments.
inline std::vector<std::string> OnPrinter(const VirtualPrinterRunner& printer,
                                          const std::vector<std::string>& args) {
    std::vector<std::string> all = {"--port", VirtualPrinterRunner::PortString(), "--baud",
                                    std::to_string(printer.Port())};
    all.insert(all.end(), args.begin(), args.end());
    return all;
}

// The bytes of a dry run's command lines ("HEX  meaning"), in order; the
// first line is the heading.
inline vp::Bytes DryRunBytes(const std::string& output) {
    vp::Bytes bytes;
    std::istringstream lines(output);
    std::string line;
    std::getline(lines, line);
    while (std::getline(lines, line)) {
        std::istringstream hex(line.substr(0, line.find("  ")));
        for (std::string pair; hex >> pair;) {
            bytes.push_back(static_cast<std::uint8_t>(std::stoi(pair, nullptr, 16)));
        }
    }
    return bytes;
}

}  // namespace printdeck::test
