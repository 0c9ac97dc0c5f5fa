#include "transport/DeviceFile.h"

#include <fcntl.h>

#include <cerrno>

#include "transport/FileKind.h"
#include "transport/IoWait.h"

namespace printdeck {

bool CheckDeviceNode(IDeviceIo& io, const std::string& path, PortOpenError& error) {
    struct stat info {};
    if (Retrying([&] { return io.Stat(path, &info); }) != 0) {
        error = SystemRefusal(path, errno);
        return false;
    }
    if (!S_ISCHR(info.st_mode)) {
        error = PortOpenError{PortFailure::NotADevice, path, 0,
                              std::string(FileKindName(info.st_mode)) + ", not a printer device"};
        return false;
    }
    return true;
}

int OpenDeviceNode(IDeviceIo& io, const std::string& path, PortOpenError& error) {
    if (!CheckDeviceNode(io, path, error)) {
        return -1;
    }
    const int fd =
        Retrying([&] { return io.Open(path, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC); });
    if (fd < 0) {
        error = SystemRefusal(path, errno);
    }
    return fd;
}

int CDeviceFile::Open(const std::string& path, PortOpenError& error) {
    return OpenDeviceNode(m_io, path, error);
}

int CDeviceFile::Read(int fd, std::uint8_t* buffer, int capacity) {
    return ReadWhenReady(
        m_io, fd, buffer, capacity, CDeadline::After(m_clock, kReadWaitMs),
        [&](std::uint8_t* into, std::size_t size) { return m_io.Read(fd, into, size); });
}

int CDeviceFile::Write(int fd, const std::uint8_t* data, int length,
                       std::optional<WriteLimit> limit) {
    const CDeadline deadline =
        limit ? CDeadline::After(m_clock, limit->constantMs +
                                              limit->perByteMs * static_cast<std::uint64_t>(length))
              : CDeadline::Never(m_clock);
    return WriteWithin(
        m_io, fd, data, length, deadline,
        [&](const std::uint8_t* part, std::size_t size) { return m_io.Write(fd, part, size); });
}

void CDeviceFile::Close(int fd, std::uint32_t settleMs) {
    if (settleMs > 0) {
        m_clock.Sleep(settleMs);
    }
    m_io.Close(fd);
}

}  // namespace printdeck
