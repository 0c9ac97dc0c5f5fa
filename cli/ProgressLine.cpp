#include "ProgressLine.h"

#include <unistd.h>

#include <iostream>

namespace printdeck::cli {
namespace {

// "Get status" of "Get status : 5 %": the text before its number.
std::string LabelOf(const std::string& text) {
    return text.substr(0, text.rfind(':'));
}

}  // namespace

void ProgressLine::Show(const std::string& text) {
    if (m_out == nullptr) {
        return;
    }
    if (m_terminal) {
        std::string line = text;
        if (line.size() < m_width) {
            line.append(m_width - line.size(), ' ');
        }
        m_width = text.size();
        *m_out << '\r' << line << std::flush;
        m_last = text;
        return;
    }
    const std::string label = LabelOf(text);
    m_lastPrinted = label != m_lastLabel;
    if (m_lastPrinted) {
        *m_out << text << '\n' << std::flush;
        m_lastLabel = label;
    }
    m_last = text;
}

void ProgressLine::End() {
    if (m_out == nullptr || m_last.empty()) {
        return;
    }
    if (m_terminal) {
        *m_out << '\n';
    } else if (!m_lastPrinted) {
        *m_out << m_last << '\n';
    }
    *m_out << std::flush;
    m_last.clear();
    m_lastLabel.clear();
    m_lastPrinted = false;
    m_width = 0;
}

bool IsTerminal(const std::ostream& stream) {
    return &stream == &std::cerr && isatty(STDERR_FILENO) != 0;
}

}  // namespace printdeck::cli
