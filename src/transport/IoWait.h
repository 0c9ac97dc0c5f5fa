#pragma once

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>

#include "transport/Clock.h"
#include "transport/DeviceIo.h"

namespace printdeck {

enum class IoFailure { Interrupted, WouldBlock, Broken };

// The one place that decides what an errno means to the transfer loops and
// the connect: try again at once, wait for the descriptor, or give up.
IoFailure ClassifyErrno(int error);

// One point in time on the port's clock, taken once per operation, so that
// every wait inside the operation gets only the time that is left.
class CDeadline {
public:
    static CDeadline After(IClock& clock, std::uint64_t milliseconds);
    static CDeadline Never(IClock& clock);

    // Milliseconds left, as poll() takes them: -1 without a limit, 0 once passed.
    int RemainingMs() const;
    bool Passed() const { return RemainingMs() == 0; }
    // Sleeps until the deadline; returns at once without a limit.
    void WaitOut() const;

private:
    CDeadline(IClock& clock, std::optional<std::uint64_t> end) : m_pClock(&clock), m_end(end) {}

    IClock* m_pClock;
    std::optional<std::uint64_t> m_end;
};

enum class WaitResult { Ready, TimedOut, Failed };

// Waits until the descriptor reports the events, the deadline passes, or it
// reports an error or hang-up without them.
WaitResult WaitFor(IDeviceIo& io, int fd, short events, const CDeadline& deadline);

// A call that returns -1 with errno on failure, repeated on EINTR.
int Retrying(const std::function<int()>& call);

// One read or write call, repeated on EINTR: the bytes moved; 0 when the
// descriptor has nothing to give or no room now; -1 on failure or end of stream.
ssize_t TransferOnce(const std::function<ssize_t()>& call);

// Waits for input until the deadline, then reads once for up to the capacity.
// Returns the bytes read, 0 when none. A read that delivers nothing still
// takes until the deadline, so a connection that has ended or failed behaves
// as a silent printer instead of letting reply loops spin.
int ReadWhenReady(IDeviceIo& io, int fd, std::uint8_t* buffer, int capacity,
                  const CDeadline& deadline,
                  const std::function<ssize_t(std::uint8_t*, std::size_t)>& readSome);

// Writes until every byte is accepted, the deadline passes or the descriptor
// fails; a descriptor may take a large buffer in parts. Returns the count accepted.
int WriteWithin(IDeviceIo& io, int fd, const std::uint8_t* data, int length,
                const CDeadline& deadline,
                const std::function<ssize_t(const std::uint8_t*, std::size_t)>& writeSome);

}  // namespace printdeck
