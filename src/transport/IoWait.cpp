#include "transport/IoWait.h"

#include <cerrno>
#include <climits>

namespace printdeck {

IoFailure ClassifyErrno(int error) {
    switch (error) {
        case EINTR:
            return IoFailure::Interrupted;
        case EAGAIN:
#if EWOULDBLOCK != EAGAIN
        case EWOULDBLOCK:
#endif
        case EINPROGRESS:
            return IoFailure::WouldBlock;
        default:
            return IoFailure::Broken;
    }
}

CDeadline CDeadline::After(IClock& clock, std::uint64_t milliseconds) {
    return CDeadline(clock, clock.TickCount() + milliseconds);
}

CDeadline CDeadline::Never(IClock& clock) {
    return CDeadline(clock, std::nullopt);
}

int CDeadline::RemainingMs() const {
    if (!m_end) {
        return -1;
    }
    const std::uint64_t now = m_pClock->TickCount();
    if (now >= *m_end) {
        return 0;
    }
    const std::uint64_t left = *m_end - now;
    return left > static_cast<std::uint64_t>(INT_MAX) ? INT_MAX : static_cast<int>(left);
}

void CDeadline::WaitOut() const {
    if (const int left = RemainingMs(); left > 0) {
        m_pClock->Sleep(static_cast<std::uint32_t>(left));
    }
}

WaitResult WaitFor(IDeviceIo& io, int fd, short events, const CDeadline& deadline) {
    for (;;) {
        short revents = 0;
        const int result = io.Poll(fd, events, deadline.RemainingMs(), &revents);
        if (result < 0) {
            if (ClassifyErrno(errno) == IoFailure::Interrupted) {
                continue;
            }
            return WaitResult::Failed;
        }
        if (result == 0) {
            return WaitResult::TimedOut;
        }
        return (revents & events) != 0 ? WaitResult::Ready : WaitResult::Failed;
    }
}

int Retrying(const std::function<int()>& call) {
    int result = call();
    while (result == -1 && ClassifyErrno(errno) == IoFailure::Interrupted) {
        result = call();
    }
    return result;
}

ssize_t TransferOnce(const std::function<ssize_t()>& call) {
    for (;;) {
        const ssize_t moved = call();
        if (moved > 0) {
            return moved;
        }
        if (moved == 0) {
            return -1;
        }
        switch (ClassifyErrno(errno)) {
            case IoFailure::Interrupted:
                continue;
            case IoFailure::WouldBlock:
                return 0;
            case IoFailure::Broken:
                return -1;
        }
    }
}

int ReadWhenReady(IDeviceIo& io, int fd, std::uint8_t* buffer, int capacity,
                  const CDeadline& deadline,
                  const std::function<ssize_t(std::uint8_t*, std::size_t)>& readSome) {
    ssize_t got = 0;
    if (WaitFor(io, fd, POLLIN, deadline) == WaitResult::Ready) {
        got = TransferOnce([&] { return readSome(buffer, static_cast<std::size_t>(capacity)); });
    }
    if (got <= 0) {
        deadline.WaitOut();
        return 0;
    }
    return static_cast<int>(got);
}

int WriteWithin(IDeviceIo& io, int fd, const std::uint8_t* data, int length,
                const CDeadline& deadline,
                const std::function<ssize_t(const std::uint8_t*, std::size_t)>& writeSome) {
    int sent = 0;
    while (sent < length) {
        const ssize_t moved = TransferOnce(
            [&] { return writeSome(data + sent, static_cast<std::size_t>(length - sent)); });
        if (moved < 0) {
            break;
        }
        if (moved > 0) {
            sent += static_cast<int>(moved);
        } else if (WaitFor(io, fd, POLLOUT, deadline) != WaitResult::Ready) {
            break;
        }
    }
    return sent;
}

}  // namespace printdeck
