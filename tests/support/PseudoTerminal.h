#pragma once

#include <cstdint>
#include <string>

namespace printdeck::test {

// A pseudo-terminal in raw mode: its slave is a real character device that a
// port can open, its master plays the printer. Closing the master is what an
// unplugged USB serial adapter looks like to the port.
class PseudoTerminal {
public:
    PseudoTerminal();
    ~PseudoTerminal();
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    // The slave's node, such as /dev/pts/3.
    const std::string& SlavePath() const { return m_slavePath; }
    // The printer side: what the port wrote, and bytes for the port to read.
    std::string ReadFromPort(std::size_t count);
    void WriteToPort(const std::string& bytes);
    void CloseMaster();

private:
    int m_master = -1;
    std::string m_slavePath;
};

}  // namespace printdeck::test
