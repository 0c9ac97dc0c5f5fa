#pragma once

#include <ctime>

namespace printdeck {

// Where the communication log takes the UTC time of day for its stamps.
using UtcTimeSource = std::tm (*)();

// Installs a time source (nullptr: the system's UTC time) and returns the
// one it replaces, so that tests can pin the stamp.
UtcTimeSource SetLogTimeSource(UtcTimeSource source);

}  // namespace printdeck
