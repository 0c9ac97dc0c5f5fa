#pragma once

#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "Recorder.h"
#include "device/PrinterDevice.h"

namespace printdeck::vp {
class VirtualPrinter;
}

namespace printdeck::cli {

// A virtual printer in this process that plays the printer which was read,
// so that a write run can go to it instead: it answers as that printer
// would, and what it receives is exactly what the printer would have been
// sent.
class StandInPrinter {
public:
    StandInPrinter();
    ~StandInPrinter();
    StandInPrinter(const StandInPrinter&) = delete;
    StandInPrinter& operator=(const StandInPrinter&) = delete;

    // Starts the stand-in with the identity the device read, closes the
    // device's port and opens it on the stand-in; false with `error`.
    bool TakeOver(CPrinterDevice& device, std::string& error);
    // The commands the stand-in received, in order, once it has received
    // every byte the device wrote to it.
    std::vector<vp::CommandEvent> Commands() const;

private:
    std::unique_ptr<vp::VirtualPrinter> m_printer;
    const CPrinterPort* m_pPort = nullptr;
    std::uint64_t m_nWrittenBefore = 0;
};

// One line per command: its bytes in hex, then what it does.
void PrintCommands(std::ostream& out, const std::vector<vp::CommandEvent>& commands);

}  // namespace printdeck::cli
