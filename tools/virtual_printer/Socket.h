#pragma once

#include <chrono>
#include <cstdint>
#include <string>

#include "Bytes.h"

namespace printdeck::vp {

// Owns one file descriptor.
class FileDescriptor {
public:
    FileDescriptor() = default;
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    ~FileDescriptor() { Reset(); }
    FileDescriptor(FileDescriptor&& other) noexcept : m_fd(other.Release()) {}
    FileDescriptor& operator=(FileDescriptor&& other) noexcept;

    int Get() const { return m_fd; }
    bool Valid() const { return m_fd >= 0; }
    int Release();
    void Reset();

private:
    int m_fd = -1;
};

// Wakes every wait of the printer's thread for a stop; once raised it stays
// raised, so every later wait returns at once.
class StopSignal {
public:
    bool Open();
    void Raise();
    int ReadFd() const { return m_read.Get(); }
    bool Raised() const;

private:
    FileDescriptor m_read;
    FileDescriptor m_write;
};

enum class WaitResult { Ready, Timeout, Stopped, Failed };

// Waits until `fd` is readable (or writable) or `stop` is raised. A negative
// timeout waits without limit.
WaitResult WaitForFd(int fd, bool forWrite, const StopSignal& stop,
                     std::chrono::milliseconds timeout);
// Sleeps unless the stop is raised; false when it was.
bool PauseUnlessStopped(const StopSignal& stop, std::chrono::milliseconds duration);

// A listening TCP socket on an IPv4 address.
class Listener {
public:
    bool Listen(const std::string& host, std::uint16_t port, std::string& error);
    std::uint16_t Port() const { return m_port; }
    // The next connection, or an invalid descriptor once stopped.
    FileDescriptor Accept(const StopSignal& stop);
    void Close() { m_socket.Reset(); }

private:
    FileDescriptor m_socket;
    std::uint16_t m_port = 0;
};

// Writes all bytes unless the peer is gone or the stop is raised.
bool SendAll(int fd, ByteView bytes, const StopSignal& stop);

}  // namespace printdeck::vp
