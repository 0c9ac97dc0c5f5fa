#include "Socket.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>
#include <utility>

namespace printdeck::vp {

FileDescriptor& FileDescriptor::operator=(FileDescriptor&& other) noexcept {
    if (this != &other) {
        Reset();
        m_fd = other.Release();
    }
    return *this;
}

int FileDescriptor::Release() {
    const int fd = m_fd;
    m_fd = -1;
    return fd;
}

void FileDescriptor::Reset() {
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
}

bool StopSignal::Open() {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) {
        return false;
    }
    m_read = FileDescriptor(fds[0]);
    m_write = FileDescriptor(fds[1]);
    return true;
}

void StopSignal::Raise() {
    const std::uint8_t byte = 1;
    // The pipe is never drained, so one byte is enough and a full pipe is fine.
    [[maybe_unused]] const auto written = ::write(m_write.Get(), &byte, 1);
}

bool StopSignal::Raised() const {
    pollfd entry{m_read.Get(), POLLIN, 0};
    return ::poll(&entry, 1, 0) > 0;
}

WaitResult WaitForFd(int fd, bool forWrite, const StopSignal& stop,
                     std::chrono::milliseconds timeout) {
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + timeout;
    pollfd entries[2] = {{stop.ReadFd(), POLLIN, 0},
                         {fd, static_cast<short>(forWrite ? POLLOUT : POLLIN), 0}};
    const nfds_t count = fd >= 0 ? 2 : 1;
    for (;;) {
        int waitMs = -1;
        if (timeout.count() >= 0) {
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
            waitMs = static_cast<int>(std::max<std::chrono::milliseconds::rep>(left.count(), 0));
        }
        const int ready = ::poll(entries, count, waitMs);
        if (ready < 0 && errno == EINTR) {
            continue;
        }
        if (ready < 0) {
            return WaitResult::Failed;
        }
        if (entries[0].revents != 0) {
            return WaitResult::Stopped;
        }
        if (ready == 0) {
            return WaitResult::Timeout;
        }
        // Errors and hang-ups count as ready: the following read or write
        // reports them.
        return WaitResult::Ready;
    }
}

bool PauseUnlessStopped(const StopSignal& stop, std::chrono::milliseconds duration) {
    return WaitForFd(-1, false, stop, duration) == WaitResult::Timeout;
}

bool Listener::Listen(const std::string& host, std::uint16_t port, std::string& error) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    if (::inet_pton(AF_INET, host.c_str(), &address.sin_addr) != 1) {
        error = "not an IPv4 address: " + host;
        return false;
    }
    FileDescriptor socket(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
    const int yes = 1;
    if (!socket.Valid() ||
        ::setsockopt(socket.Get(), SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes) != 0 ||
        ::bind(socket.Get(), reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(socket.Get(), 4) != 0) {
        error =
            "cannot listen on " + host + ":" + std::to_string(port) + ": " + std::strerror(errno);
        return false;
    }
    socklen_t length = sizeof address;
    if (::getsockname(socket.Get(), reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        error = std::string("cannot read the listening port: ") + std::strerror(errno);
        return false;
    }
    m_port = ntohs(address.sin_port);
    m_socket = std::move(socket);
    return true;
}

FileDescriptor Listener::Accept(const StopSignal& stop) {
    while (WaitForFd(m_socket.Get(), false, stop, std::chrono::milliseconds(-1)) ==
           WaitResult::Ready) {
        FileDescriptor connection(::accept4(m_socket.Get(), nullptr, nullptr, SOCK_CLOEXEC));
        if (connection.Valid()) {
            return connection;
        }
        if (errno != EINTR && errno != ECONNABORTED && errno != EAGAIN) {
            break;
        }
    }
    return {};
}

bool SendAll(int fd, ByteView bytes, const StopSignal& stop) {
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        if (WaitForFd(fd, true, stop, std::chrono::milliseconds(-1)) != WaitResult::Ready) {
            return false;
        }
        const auto count = ::send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count <= 0) {
            return false;
        }
        sent += static_cast<std::size_t>(count);
    }
    return true;
}

}  // namespace printdeck::vp
