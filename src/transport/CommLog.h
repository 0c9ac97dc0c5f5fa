#pragma once

#include <string>

namespace printdeck {

// The trace of every byte exchange with a printer: one entry per Read and
// Write, appended to one plain-text file that is opened and closed per entry.
class CCommLog {
public:
    // Expands a small printf-like format (d, f and s; any other conversion is
    // dropped with its '%') and appends one time-stamped entry. A '%' inside
    // an argument is written unchanged. An unwritable log drops the entry.
    static void WriteLogEntry(const char* format, ...);

    // $PRINTDECK_LOG, else $XDG_STATE_HOME/printdeck/SbinLog.txt, else
    // ~/.local/state/printdeck/SbinLog.txt.
    static std::string LogFilePath();
};

}  // namespace printdeck
