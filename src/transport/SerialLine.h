#pragma once

#include <termios.h>

#include <cstdint>
#include <string>

#include "transport/Clock.h"
#include "transport/DeviceIo.h"
#include "transport/PortOpenError.h"

namespace printdeck {

// Line settings in the serial driver's codes, as the port carries them.
struct SerialSettings {
    std::uint32_t baudRate = 115200;
    std::uint8_t parity = 0;    // 0 none, 1 odd, 2 even, 3 mark, 4 space
    std::uint8_t dataBits = 8;  // 5 to 8
    std::uint8_t stopBits = 0;  // 0 one, 2 two
    bool dtrDsr = false;        // the user's "DTR/DSR" flow control choice
};

// Raw-mode termios for the settings; false when the driver has no such setting.
bool ApplyLineSettings(termios& attributes, const SerialSettings& settings);

// A serial line driven through termios with the printer's time-outs: a read
// of n bytes waits at most 1000 + 10 x n ms for all of them and returns after
// 10 ms of silence once the first byte has arrived.
class CSerialLine {
public:
    static constexpr int kOpenAttempts = 3;
    static constexpr std::uint32_t kRetryWaitMs = 400;
    static constexpr std::uint32_t kCloseWaitMs = 200;
    static constexpr std::uint64_t kReadConstantMs = 1000;
    static constexpr std::uint64_t kReadPerByteMs = 10;
    static constexpr std::uint64_t kInterByteMs = 10;
    static constexpr std::uint64_t kWriteConstantMs = 1000;
    static constexpr std::uint64_t kWritePerByteMs = 1000;

    CSerialLine(IDeviceIo& io, IClock& clock) : m_io(io), m_clock(clock) {}

    // Opens, configures and checks the line (probe byte, DSR); the descriptor,
    // or -1 with the reason in error.
    int Open(const std::string& path, const SerialSettings& settings, PortOpenError& error);
    int Read(int fd, std::uint8_t* buffer, int capacity);
    // Returns the bytes that left the driver within the write time-out.
    int Write(int fd, const std::uint8_t* data, int length);
    // Purges both directions, lets the line settle, closes.
    void Close(int fd);

private:
    int OpenExclusive(const std::string& path, PortOpenError& error);
    int OpenOnce(const std::string& path, PortOpenError& error);
    bool Configure(int fd, const SerialSettings& settings);
    bool SetModemLines(int fd, bool dtrOn);
    bool SendProbe(int fd);
    bool DataSetReady(int fd);
    int QueuedOutput(int fd);

    IDeviceIo& m_io;
    IClock& m_clock;
};

}  // namespace printdeck
