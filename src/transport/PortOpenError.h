#pragma once

#include <string>

namespace printdeck {

// Why the last Open of a port failed, so the caller can tell the user.
enum class PortFailure {
    None,           // the port opened
    BadPortString,  // the port string names nothing this system can open
    NotADevice,     // the path exists but is no character device
    SystemRefused,  // the system refused the open or the connect; error holds errno
    LineRefused,    // the serial driver refused the line settings
    NoSignal,       // the printer on the serial line does not assert DSR
};

struct PortOpenError {
    PortFailure failure = PortFailure::None;
    std::string target;  // the device node, or the address and TCP port
    int error = 0;       // errno when the system refused
    std::string detail;  // what a check found, when no errno says it

    // "/tmp/v.txt: a regular file, not a printer device".
    std::string Text() const;
};

PortOpenError SystemRefusal(const std::string& target, int error);

}  // namespace printdeck
