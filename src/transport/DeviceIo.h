#pragma once

#include <poll.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <termios.h>

#include <cstddef>
#include <string>

namespace printdeck {

// The system calls that serial, parallel and device-path connections make on
// their descriptor. Each method behaves like the call it is named after:
// -1 with errno set on failure. Tests replace it to play a serial line with
// modem signals, which no test machine has.
class IDeviceIo {
public:
    virtual ~IDeviceIo() = default;
    // stat() on a path, following symbolic links.
    virtual int Stat(const std::string& path, struct stat* info) = 0;
    virtual int Open(const std::string& path, int flags) = 0;
    virtual int Close(int fd) = 0;
    virtual ssize_t Read(int fd, void* buffer, std::size_t length) = 0;
    virtual ssize_t Write(int fd, const void* data, std::size_t length) = 0;
    // poll() on one descriptor; the returned events go to *revents.
    virtual int Poll(int fd, short events, int timeoutMs, short* revents) = 0;
    virtual int GetAttributes(int fd, termios* attributes) = 0;
    virtual int SetAttributes(int fd, const termios& attributes) = 0;
    virtual int Flush(int fd, int queueSelector) = 0;
    // ioctl() with an int argument (or none, when argument is null).
    virtual int Control(int fd, unsigned long request, int* argument) = 0;
};

// The real system calls.
class CPosixDeviceIo : public IDeviceIo {
public:
    int Stat(const std::string& path, struct stat* info) override;
    int Open(const std::string& path, int flags) override;
    int Close(int fd) override;
    ssize_t Read(int fd, void* buffer, std::size_t length) override;
    ssize_t Write(int fd, const void* data, std::size_t length) override;
    int Poll(int fd, short events, int timeoutMs, short* revents) override;
    int GetAttributes(int fd, termios* attributes) override;
    int SetAttributes(int fd, const termios& attributes) override;
    int Flush(int fd, int queueSelector) override;
    int Control(int fd, unsigned long request, int* argument) override;
};

IDeviceIo& SystemDeviceIo();

}  // namespace printdeck
