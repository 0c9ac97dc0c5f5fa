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

    // The log of one port's entries, beside the usual one and named after
    // the port: "SbinLog-NET192.168.0.10_9101.txt". Characters a file name
    // should not carry become '_'.
    static std::string LogFilePathFor(const std::string& portName);

    // While one lives, the entries its thread writes go to `path` instead,
    // so that printers served at once keep a log each.
    class ThreadRedirect {
    public:
        explicit ThreadRedirect(std::string path);
        ~ThreadRedirect();
        ThreadRedirect(const ThreadRedirect&) = delete;
        ThreadRedirect& operator=(const ThreadRedirect&) = delete;

    private:
        std::string m_path;
        const std::string* m_previous;
    };
};

}  // namespace printdeck
