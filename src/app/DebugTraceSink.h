#pragma once

#include <functional>
#include <string>

namespace printdeck {

// Receives every formatted DebugTrace message. The program installs none, so
// its traces go nowhere; tests install one to see them. An empty function
// removes the sink.
using DebugTraceSink = std::function<void(const std::string& message)>;
void SetDebugTraceSink(DebugTraceSink sink);

}  // namespace printdeck
