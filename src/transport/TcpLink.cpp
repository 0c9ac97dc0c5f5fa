#include "transport/TcpLink.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

#include "transport/DeviceIo.h"
#include "transport/IoWait.h"

namespace printdeck {

int CTcpLink::Connect(const std::string& address, std::uint16_t port, PortOpenError& error) {
    const std::string target = address + ":" + std::to_string(port);
    sockaddr_in peer{};
    peer.sin_family = AF_INET;
    peer.sin_port = htons(port);
    if (inet_pton(AF_INET, address.c_str(), &peer.sin_addr) != 1) {
        error = PortOpenError{PortFailure::BadPortString, target, 0, "not a dotted IPv4 address"};
        return -1;
    }
    const int fd =
        Retrying([] { return ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0); });
    if (fd < 0) {
        error = SystemRefusal(target, errno);
        return -1;
    }
    int failure = 0;
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&peer), sizeof peer) != 0) {
        failure = ClassifyErrno(errno) == IoFailure::Broken ? errno : FinishConnect(fd);
    }
    const int flags = failure == 0 ? Retrying([&] { return ::fcntl(fd, F_GETFL); }) : -1;
    if (flags < 0 || Retrying([&] { return ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK); }) != 0) {
        error = SystemRefusal(target, failure != 0 ? failure : errno);
        ::close(fd);
        return -1;
    }
    return fd;
}

int CTcpLink::FinishConnect(int fd) {
    const CDeadline deadline = CDeadline::After(m_clock, kConnectWaitMs);
    const WaitResult wait = WaitFor(SystemDeviceIo(), fd, POLLOUT, deadline);
    if (wait == WaitResult::TimedOut) {
        return ETIMEDOUT;
    }
    int error = 0;
    socklen_t size = sizeof error;
    if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) != 0) {
        return errno;
    }
    return error == 0 && wait != WaitResult::Ready ? EIO : error;
}

int CTcpLink::Read(int fd, std::uint8_t* buffer, int capacity) {
    return ReadWhenReady(
        SystemDeviceIo(), fd, buffer, capacity, CDeadline::After(m_clock, kReadWaitMs),
        [&](std::uint8_t* into, std::size_t size) { return ::recv(fd, into, size, MSG_DONTWAIT); });
}

int CTcpLink::Write(int fd, const std::uint8_t* data, int length) {
    const auto sendSome = [&](const std::uint8_t* part, std::size_t size) {
        return ::send(fd, part, size, MSG_NOSIGNAL | MSG_DONTWAIT);
    };
    // Each part the printer takes buys it another stall limit.
    int sent = 0;
    while (sent < length) {
        const int part = WriteWithin(SystemDeviceIo(), fd, data + sent, length - sent,
                                     CDeadline::After(m_clock, kWriteStallMs), sendSome);
        if (part == 0) {
            break;
        }
        sent += part;
    }
    return sent;
}

void CTcpLink::Close(int fd) {
    ::close(fd);
}

}  // namespace printdeck
