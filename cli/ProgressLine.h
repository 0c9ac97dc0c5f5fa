#pragma once

#include <ostream>
#include <string>

namespace printdeck::cli {

// The progress of a printer run on one terminal line: rewritten in place
// with carriage returns on a terminal; otherwise one line per new label and
// one at the end, so logs stay short.
class ProgressLine {
public:
    ProgressLine(std::ostream& out, bool terminal) : m_out(&out), m_terminal(terminal) {}
    // A line that shows nothing.
    static ProgressLine Silent() { return ProgressLine(); }

    // A progress text such as "Get status : 5 %".
    void Show(const std::string& text);
    // Ends the run's line.
    void End();

private:
    ProgressLine() = default;

    std::ostream* m_out = nullptr;
    bool m_terminal = false;
    std::string m_last;
    std::string m_lastLabel;
    bool m_lastPrinted = false;
    std::size_t m_width = 0;
};

// True when the stream is the process's standard error and that is a terminal.
bool IsTerminal(const std::ostream& stream);

}  // namespace printdeck::cli
