#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "CliContext.h"

namespace printdeck::cli {

// More printers than this in one run is taken for a mistake in the list.
inline constexpr std::size_t kMaxFleetPrinters = 1024;

// One printer of a fleet and where it was named ("--ports entry 2",
// "shops.txt:4"), for messages.
struct FleetEntry {
    std::string port;
    std::string origin;
};

// The ports of --ports followed by those of the ports file (one per line;
// blank lines and lines starting with # are skipped), in order. False with
// `error` for a file that cannot be read whole, an empty list or more than
// kMaxFleetPrinters.
bool ListFleetPorts(const std::vector<std::string>& listed, const std::string& file,
                    std::vector<FleetEntry>& entries, std::string& error);

// Runs `run` on every port at once, each on a thread of its own with its
// own connection, traffic log and kept-back store writes. Then prints each
// printer's output under its port, the summary (port, model, firmware,
// outcome, seconds; one JSON object in JSON mode) and writes the store
// once, in the order of the list. Exit status 0 only when every printer
// succeeded.
int RunFleet(const CliContext& fleet, const std::vector<std::string>& ports, const PrinterRun& run);

}  // namespace printdeck::cli
