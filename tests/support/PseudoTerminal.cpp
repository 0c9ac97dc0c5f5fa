#include "PseudoTerminal.h"

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <stdexcept>

namespace printdeck::test {

namespace {

constexpr int kReadWaitMs = 2000;

}  // namespace

PseudoTerminal::PseudoTerminal() {
    m_master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    termios raw{};
    if (m_master < 0 || grantpt(m_master) != 0 || unlockpt(m_master) != 0 ||
        tcgetattr(m_master, &raw) != 0) {
        throw std::runtime_error("cannot create a pseudo-terminal");
    }
    cfmakeraw(&raw);
    tcsetattr(m_master, TCSANOW, &raw);
    m_slavePath = ptsname(m_master);
}

PseudoTerminal::~PseudoTerminal() {
    CloseMaster();
}

std::string PseudoTerminal::ReadFromPort(std::size_t count) {
    std::string bytes;
    while (bytes.size() < count) {
        pollfd entry{m_master, POLLIN, 0};
        if (poll(&entry, 1, kReadWaitMs) <= 0) {
            break;
        }
        char buffer[256];
        const ssize_t got = read(m_master, buffer, std::min(sizeof buffer, count - bytes.size()));
        if (got <= 0) {
            break;
        }
        bytes.append(buffer, static_cast<std::size_t>(got));
    }
    return bytes;
}

void PseudoTerminal::WriteToPort(const std::string& bytes) {
    if (write(m_master, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size())) {
        throw std::runtime_error("cannot write to the pseudo-terminal");
    }
}

void PseudoTerminal::CloseMaster() {
    if (m_master >= 0) {
        close(m_master);
        m_master = -1;
    }
}

}  // namespace printdeck::test
