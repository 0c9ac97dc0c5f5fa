#pragma once

#include <cstdint>
#include <string>

#include "transport/PrinterPort.h"

namespace printdeck {

// What a port string opens here: the device node of a serial, parallel or
// device-path port, or the address text of a network port.
std::string PortTarget(PortKind kind, const std::string& portString);

// Why a port string names nothing that can be opened; empty when it is well
// formed. A network port needs a dotted IPv4 address after NET and a TCP
// port number (the baud-rate field) from 1 to 65535.
std::string PortStringProblem(const std::string& portString, std::uint32_t tcpPort);

}  // namespace printdeck
