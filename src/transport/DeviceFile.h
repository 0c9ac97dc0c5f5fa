#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "transport/Clock.h"
#include "transport/DeviceIo.h"
#include "transport/PortOpenError.h"

namespace printdeck {

// True when the path names a character device. Anything else (a regular
// file, a directory, a FIFO, a socket, nothing) must never be opened as a
// printer: writing a command into it would damage it or block.
bool CheckDeviceNode(IDeviceIo& io, const std::string& path, PortOpenError& error);

// Opens a checked device node for reading and writing, without becoming its
// controlling terminal; -1 with `error` filled when it is refused.
int OpenDeviceNode(IDeviceIo& io, const std::string& path, PortOpenError& error);

// A printer reached as a device file: a parallel port or a USB printer node.
// A read waits about a second for input, so a silent printer never holds
// the caller's reply loop.
class CDeviceFile {
public:
    static constexpr std::uint64_t kReadWaitMs = 1000;

    CDeviceFile(IDeviceIo& io, IClock& clock) : m_io(io), m_clock(clock) {}

    // The descriptor, or -1 with the reason in error; one attempt.
    int Open(const std::string& path, PortOpenError& error);
    int Read(int fd, std::uint8_t* buffer, int capacity);
    // Without a write limit the write waits as long as the driver does.
    struct WriteLimit {
        std::uint64_t constantMs;
        std::uint64_t perByteMs;
    };
    int Write(int fd, const std::uint8_t* data, int length, std::optional<WriteLimit> limit);
    // Waits settleMs (through the clock), then closes.
    void Close(int fd, std::uint32_t settleMs);

private:
    IDeviceIo& m_io;
    IClock& m_clock;
};

}  // namespace printdeck
