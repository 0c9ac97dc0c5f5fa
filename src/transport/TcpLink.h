#pragma once

#include <cstdint>
#include <string>

#include "transport/Clock.h"
#include "transport/PortOpenError.h"

namespace printdeck {

// A TCP connection to a printer: a connect bounded to a few seconds, reads
// that come back after about a second of silence, and writes that never
// raise SIGPIPE when the printer has gone.
class CTcpLink {
public:
    static constexpr std::uint64_t kConnectWaitMs = 3000;
    static constexpr std::uint64_t kReadWaitMs = 1000;
    // A printer that takes no data for this long has stalled.
    static constexpr std::uint64_t kWriteStallMs = 10000;

    explicit CTcpLink(IClock& clock) : m_clock(clock) {}

    // Connects to a dotted-decimal IPv4 address; the socket, or -1 with the
    // reason in error.
    int Connect(const std::string& address, std::uint16_t port, PortOpenError& error);
    int Read(int fd, std::uint8_t* buffer, int capacity);
    int Write(int fd, const std::uint8_t* data, int length);
    void Close(int fd);

private:
    // 0 once connected, else the errno that ended the attempt.
    int FinishConnect(int fd);

    IClock& m_clock;
};

}  // namespace printdeck
