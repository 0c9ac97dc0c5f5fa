#include "LoopbackClient.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>

namespace printdeck::test {

LoopbackClient::LoopbackClient(std::uint16_t port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    m_fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (m_fd >= 0 &&
        ::connect(m_fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        Close();
    }
}

LoopbackClient::~LoopbackClient() {
    Close();
}

void LoopbackClient::Close() {
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
}

bool LoopbackClient::Write(const vp::Bytes& bytes) {
    return m_fd >= 0 && ::send(m_fd, bytes.data(), bytes.size(), MSG_NOSIGNAL) ==
                            static_cast<ssize_t>(bytes.size());
}

std::vector<LoopbackClient::Chunk> LoopbackClient::ReadChunks(std::size_t count,
                                                              std::chrono::milliseconds timeout) {
    std::vector<Chunk> chunks;
    std::size_t total = 0;
    const auto deadline = Clock::now() + timeout;
    while (m_fd >= 0 && total < count && !m_peerClosed) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        pollfd entry{m_fd, POLLIN, 0};
        if (left.count() <= 0 || ::poll(&entry, 1, static_cast<int>(left.count())) <= 0) {
            break;
        }
        std::uint8_t buffer[512];
        const auto received = ::recv(m_fd, buffer, std::min(sizeof buffer, count - total), 0);
        if (received <= 0) {
            m_peerClosed = true;
            break;
        }
        chunks.push_back({vp::Bytes(buffer, buffer + received), Clock::now()});
        total += static_cast<std::size_t>(received);
    }
    return chunks;
}

vp::Bytes LoopbackClient::Read(std::size_t count, std::chrono::milliseconds timeout) {
    return Join(ReadChunks(count, timeout));
}

bool LoopbackClient::Quiet(std::chrono::milliseconds quiet) {
    return Read(1, quiet).empty();
}

vp::Bytes Join(const std::vector<LoopbackClient::Chunk>& chunks) {
    vp::Bytes joined;
    for (const auto& chunk : chunks) {
        joined.insert(joined.end(), chunk.bytes.begin(), chunk.bytes.end());
    }
    return joined;
}

}  // namespace printdeck::test
