#pragma once

#include <optional>
#include <string>

namespace printdeck {

// Interface positions of the main window's list, as stored in "uPortType".
enum PortType : int { PortTypeSerial = 0, PortTypeUsb = 1, PortTypeNetwork = 2 };

// The communication settings the main window shows and stores under the
// program key; each field bears the name of its stored value.
struct CommSettings {
    int uPortType = PortTypeSerial;
    std::string uPort;
    int uBaudrate = 115200;  // the TCP port number for TCP/IP
    int uDatabit = 8;
    int uParity = 0;       // 0 none, 1 odd, 2 even
    int uStopbit = 0;      // 0 one stop bit, 2 two
    int uFlowcontrol = 1;  // 0 none, 1 DTR/DSR

    bool operator==(const CommSettings&) const = default;
};

inline constexpr int kDefaultTcpPort = 9100;

// The stored choice, or nothing when "uPortType" was never stored. A missing
// number reads as 0 and a missing "uPort" keeps the one of `defaults`.
std::optional<CommSettings> ReadStoredCommSettings(const CommSettings& defaults = {});

// Stores every value, "uPortType" first; false when the store refused one.
bool WriteCommSettings(const CommSettings& settings);

}  // namespace printdeck
