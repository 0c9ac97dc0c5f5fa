#pragma once

#include <sys/ioctl.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "transport/Clock.h"
#include "transport/DeviceIo.h"

namespace printdeck::test {

// A clock that only moves when someone sleeps or a fake wait passes.
class FakeClock : public IClock {
public:
    std::uint64_t TickCount() override { return now; }
    void Sleep(std::uint32_t milliseconds) override {
        sleeps.push_back(milliseconds);
        now += milliseconds;
    }

    std::uint64_t now = 5'000'000;
    std::vector<std::uint32_t> sleeps;
};

// A serial line with a printer behind it, played on a fake clock: bytes
// arrive at scripted times, poll() waits by moving the clock.
class FakeSerialIo : public IDeviceIo {
public:
    static constexpr int kFd = 7;

    explicit FakeSerialIo(FakeClock& clock) : m_clock(clock) {}

    // Script: the printer sends bytes this many ms from now.
    void ArriveAfter(std::uint64_t ms, const std::string& bytes) {
        arrivals.push_back(
            {m_clock.now + ms, std::vector<std::uint8_t>(bytes.begin(), bytes.end())});
    }

    int Stat(const std::string&, struct stat* info) override {
        *info = {};
        info->st_mode = S_IFCHR | 0660;
        return 0;
    }
    int Open(const std::string& path, int flags) override {
        openedPaths.push_back(path);
        openFlags = flags;
        if (openFailures > 0) {
            --openFailures;
            errno = ENOENT;
            return -1;
        }
        return kFd;
    }
    int Close(int fd) override {
        closed.push_back(fd);
        return 0;
    }
    ssize_t Read(int, void* buffer, std::size_t length) override {
        if (arrivals.empty() || arrivals.front().atMs > m_clock.now) {
            errno = EAGAIN;
            return -1;
        }
        auto& bytes = arrivals.front().bytes;
        const std::size_t count = std::min(length, bytes.size());
        std::copy_n(bytes.begin(), count, static_cast<std::uint8_t*>(buffer));
        bytes.erase(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(count));
        if (bytes.empty()) {
            arrivals.pop_front();
        }
        return static_cast<ssize_t>(count);
    }
    ssize_t Write(int, const void* data, std::size_t length) override {
        const auto* bytes = static_cast<const std::uint8_t*>(data);
        writes.emplace_back(bytes, bytes + length);
        if (refuseWrites) {
            errno = EIO;
            return -1;
        }
        return static_cast<ssize_t>(length);
    }
    int Poll(int, short events, int timeoutMs, short* revents) override {
        *revents = 0;
        if ((events & POLLOUT) != 0) {
            *revents = POLLOUT;
            return 1;
        }
        const std::uint64_t limit = m_clock.now + static_cast<std::uint64_t>(timeoutMs);
        if (!arrivals.empty() && (timeoutMs < 0 || arrivals.front().atMs <= limit)) {
            m_clock.now = std::max(m_clock.now, arrivals.front().atMs);
            *revents = POLLIN;
            return 1;
        }
        m_clock.now = limit;
        return 0;
    }
    int GetAttributes(int, termios* attributes) override {
        // A cooked terminal, as a freshly opened tty is.
        *attributes = termios{};
        attributes->c_iflag = ICRNL | IXON | IXOFF;
        attributes->c_oflag = OPOST | ONLCR;
        attributes->c_lflag = ICANON | ECHO | ISIG;
        attributes->c_cflag = CS7 | PARENB | CRTSCTS;
        return 0;
    }
    int SetAttributes(int, const termios& attributes) override {
        lineSettings = attributes;
        return 0;
    }
    int Flush(int, int queueSelector) override {
        flushes.push_back(queueSelector);
        return 0;
    }
    int Control(int, unsigned long request, int* argument) override {
        switch (request) {
            case TIOCEXCL:
                exclusive = true;
                return 0;
            case TIOCMGET:
                if (!modemStatus) {
                    errno = EINVAL;
                    return -1;
                }
                *argument = *modemStatus;
                return 0;
            case TIOCMBIS:
            case TIOCMBIC:
                modemChanges.push_back({request, *argument});
                return 0;
            case TIOCOUTQ:
                *argument = outputQueue;
                return 0;
            default:
                errno = ENOTTY;
                return -1;
        }
    }

    struct Arrival {
        std::uint64_t atMs;
        std::vector<std::uint8_t> bytes;
    };
    struct ModemChange {
        unsigned long request;
        int bits;
    };

    // Behaviour.
    int openFailures = 0;
    std::optional<int> modemStatus = TIOCM_DSR | TIOCM_CTS;
    bool refuseWrites = false;
    int outputQueue = 0;
    std::deque<Arrival> arrivals;

    // Record.
    std::vector<std::string> openedPaths;
    int openFlags = 0;
    bool exclusive = false;
    std::optional<termios> lineSettings;
    std::vector<ModemChange> modemChanges;
    std::vector<std::vector<std::uint8_t>> writes;
    std::vector<int> flushes;
    std::vector<int> closed;

private:
    FakeClock& m_clock;
};

}  // namespace printdeck::test
