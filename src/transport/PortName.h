#pragma once

#include <string>

#include "transport/PrinterPort.h"

namespace printdeck {

// What a port string opens here: the device node of a serial, parallel or
// device-path port, or the address text of a network port.
std::string PortTarget(PortKind kind, const std::string& portString);

}  // namespace printdeck
