#pragma once

#include <ostream>

namespace printdeck::cli {

// Runs printdeck-cli with the given arguments; returns the exit status.
int RunCli(int argc, const char* const* argv, std::ostream& out, std::ostream& err);

}  // namespace printdeck::cli
