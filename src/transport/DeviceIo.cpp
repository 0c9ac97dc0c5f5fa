#include "transport/DeviceIo.h"

#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace printdeck {

int CPosixDeviceIo::Stat(const std::string& path, struct stat* info) {
    return ::stat(path.c_str(), info);
}

int CPosixDeviceIo::Open(const std::string& path, int flags) {
    return ::open(path.c_str(), flags);
}

int CPosixDeviceIo::Close(int fd) {
    return ::close(fd);
}

ssize_t CPosixDeviceIo::Read(int fd, void* buffer, std::size_t length) {
    return ::read(fd, buffer, length);
}

ssize_t CPosixDeviceIo::Write(int fd, const void* data, std::size_t length) {
    return ::write(fd, data, length);
}

int CPosixDeviceIo::Poll(int fd, short events, int timeoutMs, short* revents) {
    pollfd entry{fd, events, 0};
    const int result = ::poll(&entry, 1, timeoutMs);
    *revents = entry.revents;
    return result;
}

int CPosixDeviceIo::GetAttributes(int fd, termios* attributes) {
    return ::tcgetattr(fd, attributes);
}

int CPosixDeviceIo::SetAttributes(int fd, const termios& attributes) {
    return ::tcsetattr(fd, TCSANOW, &attributes);
}

int CPosixDeviceIo::Flush(int fd, int queueSelector) {
    return ::tcflush(fd, queueSelector);
}

int CPosixDeviceIo::Control(int fd, unsigned long request, int* argument) {
    return argument != nullptr ? ::ioctl(fd, request, argument) : ::ioctl(fd, request);
}

IDeviceIo& SystemDeviceIo() {
    static CPosixDeviceIo io;
    return io;
}

}  // namespace printdeck
