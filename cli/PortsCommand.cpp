#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include "Commands.h"
#include "app/PortDiscovery.h"

namespace printdeck::cli {
namespace {

void PrintGroup(std::ostream& out, const char* title, const std::vector<DiscoveredPort>& ports,
                const char* none) {
    out << title << ":\n";
    if (ports.empty()) {
        out << "  " << none << "\n";
    }
    for (const DiscoveredPort& port : ports) {
        out << "  --port " << port.portString << "    " << port.description << "\n";
    }
}

nlohmann::json JsonGroup(const std::vector<DiscoveredPort>& ports) {
    nlohmann::json group = nlohmann::json::array();
    for (const DiscoveredPort& port : ports) {
        group.push_back({{"port", port.portString}, {"description", port.description}});
    }
    return group;
}

int RunPortsJson(const CliContext& context) {
    context.Out() << nlohmann::json{{"serial", JsonGroup(DiscoverSerialPorts())},
                                    {"usb", JsonGroup(DiscoverUsbPrinters())}}
                         .dump(2)
                  << "\n";
    return kExitOk;
}

int RunPorts(const CliContext& context) {
    PrintGroup(context.Out(), "Serial lines", DiscoverSerialPorts(),
               "none found (serial lines need membership of the dialout group)");
    PrintGroup(context.Out(), "USB printers", DiscoverUsbPrinters(),
               "none found (USB printers need membership of the lp group)");
    context.Out() << "Network printers:\n  --port NET<IPv4 address> --baud <TCP port, 9100 by "
                     "default>\n";
    return kExitOk;
}

}  // namespace

void AddPortsCommand(CLI::App& app, CliContext& context) {
    CLI::App* command = app.add_subcommand(
        "ports", "List the serial lines and USB printers of this machine with their port strings");
    context.AddJsonFlag(
        *command, "Print {\"serial\": [{\"port\", \"description\"}], \"usb\": [...]} instead");
    command->callback([&context] {
        context.RunOnce("ports", [&context] {
            return context.JsonMode() ? RunPortsJson(context) : RunPorts(context);
        });
    });
}

}  // namespace printdeck::cli
