#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdint>
#include <string>
#include <utility>

namespace printdeck::test {

// A descriptor closed when the object goes.
class UniqueFd {
public:
    explicit UniqueFd(int fd = -1) : m_fd(fd) {}
    ~UniqueFd() { Reset(); }
    UniqueFd(UniqueFd&& other) noexcept : m_fd(std::exchange(other.m_fd, -1)) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept {
        Reset();
        m_fd = std::exchange(other.m_fd, -1);
        return *this;
    }
    int Get() const { return m_fd; }
    void Reset() {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
        m_fd = -1;
    }

private:
    int m_fd;
};

// A TCP listener on 127.0.0.1 at a port the system chose: the printer's
// end of a network port, driven by the test itself.
class LoopbackListener {
public:
    LoopbackListener() : m_socket(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0)) {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof address;
        if (::bind(m_socket.Get(), reinterpret_cast<sockaddr*>(&address), size) == 0 &&
            ::listen(m_socket.Get(), 4) == 0 &&
            ::getsockname(m_socket.Get(), reinterpret_cast<sockaddr*>(&address), &size) == 0) {
            m_port = ntohs(address.sin_port);
        }
    }

    std::uint16_t Port() const { return m_port; }

    // The next connection, waited for at most two seconds.
    UniqueFd Accept() {
        pollfd entry{m_socket.Get(), POLLIN, 0};
        if (::poll(&entry, 1, 2000) <= 0) {
            return UniqueFd();
        }
        return UniqueFd(::accept4(m_socket.Get(), nullptr, nullptr, SOCK_CLOEXEC));
    }

private:
    UniqueFd m_socket;
    std::uint16_t m_port = 0;
};

// Up to count bytes from the descriptor, waiting at most partWaitMs for each part.
inline std::string ReceiveUpTo(int fd, std::size_t count, int partWaitMs = 1000) {
    std::string bytes;
    pollfd entry{fd, POLLIN, 0};
    while (bytes.size() < count && ::poll(&entry, 1, partWaitMs) > 0) {
        char chunk[4096];
        const ssize_t got = ::recv(fd, chunk, sizeof chunk, 0);
        if (got <= 0) {
            break;
        }
        bytes.append(chunk, static_cast<std::size_t>(got));
    }
    return bytes;
}

}  // namespace printdeck::test
