#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "Bytes.h"

namespace printdeck::test {

// A plain TCP client on 127.0.0.1, standing in for the host.
class LoopbackClient {
public:
    using Clock = std::chrono::steady_clock;
    struct Chunk {
        vp::Bytes bytes;
        Clock::time_point at;
    };

    explicit LoopbackClient(std::uint16_t port);
    ~LoopbackClient();
    LoopbackClient(const LoopbackClient&) = delete;
    LoopbackClient& operator=(const LoopbackClient&) = delete;

    bool Connected() const { return m_fd >= 0; }
    bool Write(const vp::Bytes& bytes);
    // Reads until `count` bytes arrived, the printer hung up, or `timeout`.
    std::vector<Chunk> ReadChunks(std::size_t count, std::chrono::milliseconds timeout);
    vp::Bytes Read(std::size_t count,
                   std::chrono::milliseconds timeout = std::chrono::milliseconds(2000));
    // True when nothing (more) arrives within `quiet`.
    bool Quiet(std::chrono::milliseconds quiet = std::chrono::milliseconds(200));
    // The printer closed the connection (seen by a read).
    bool PeerClosed() const { return m_peerClosed; }
    void Close();

private:
    int m_fd = -1;
    bool m_peerClosed = false;
};

vp::Bytes Join(const std::vector<LoopbackClient::Chunk>& chunks);

}  // namespace printdeck::test
