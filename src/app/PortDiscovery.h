#pragma once

#include <string>
#include <vector>

namespace printdeck {

// A connection found on this machine and the port string that names it.
struct DiscoveredPort {
    std::string portString;
    std::string description;
};

// Every usblp device node, openable or not, in numeric order.
std::vector<std::string> ListUsbPrinterNodes(const std::string& deviceRoot = "/dev");

// USB printers (usblp device nodes) that open for reading and writing, in
// numeric order; each path is a device-path port string.
std::vector<DiscoveredPort> DiscoverUsbPrinters(const std::string& deviceRoot = "/dev");

// Serial lines with a device behind them (USB adapters, CDC modems,
// Bluetooth RFCOMM, built-in UARTs), by the names the serial port grammar
// takes.
std::vector<DiscoveredPort> DiscoverSerialPorts(const std::string& deviceRoot = "/dev",
                                                const std::string& sysfsTtyRoot = "/sys/class/tty");

}  // namespace printdeck
