#include "Connection.h"

#include <sys/socket.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <utility>

namespace printdeck::vp {

namespace {

using std::chrono::milliseconds;
using Clock = std::chrono::steady_clock;

constexpr milliseconds kNoLimit{-1};

}  // namespace

Connection::Connection(FileDescriptor socket, ConnectionContext context)
    : m_socket(std::move(socket)), m_context(context), m_lastByte(Clock::now()) {}

void Connection::Run() {
    m_context.dispatcher.BeginConnection();
    m_context.recorder.OnConnectionStart();
    m_raw = m_context.firmware.BeginConnection();
    while (m_open && !m_hangUp) {
        const milliseconds wait = m_pending.empty() ? kNoLimit : PartialTimeLeft();
        if (wait == milliseconds(0)) {
            DiscardPartial();
            continue;
        }
        if (ReadMore(wait) == ReadResult::Data && !m_raw) {
            m_context.dispatcher.Dispatch(m_pending, *this, m_context.recorder);
        }
    }
    // A command cut off by the hang-up never completes.
    DiscardPartial();
    if (m_raw) {
        m_context.firmware.EndConnection();
    }
}

milliseconds Connection::PartialTimeLeft() const {
    const auto idle = std::chrono::duration_cast<milliseconds>(Clock::now() - m_lastByte);
    return std::max(m_context.partialTimeout - idle, milliseconds(0));
}

void Connection::DiscardPartial() {
    if (!m_pending.empty()) {
        m_context.recorder.OnMalformed(m_pending);
        m_pending.clear();
    }
}

Connection::ReadResult Connection::ReadMore(milliseconds timeout) {
    switch (WaitForFd(m_socket.Get(), false, m_context.stop, timeout)) {
        case WaitResult::Timeout:
            return ReadResult::Timeout;
        case WaitResult::Ready:
            break;
        default:
            m_open = false;
            return ReadResult::Closed;
    }
    std::array<std::uint8_t, 4096> buffer{};
    std::size_t room = buffer.size();
    const Fault fault = m_context.fault.Get();
    const bool closeAfter = fault.kind == Fault::Kind::CloseAfter;
    if (closeAfter) {
        room = std::min<std::size_t>(room, fault.value > m_received ? fault.value - m_received : 0);
    }
    const auto count = room == 0 ? 0 : ::recv(m_socket.Get(), buffer.data(), room, 0);
    if (count < 0 && errno == EINTR) {
        return ReadResult::Timeout;
    }
    if (count <= 0) {
        m_open = false;
        return ReadResult::Closed;
    }
    const ByteView bytes(buffer.data(), static_cast<std::size_t>(count));
    m_context.recorder.OnReceived(bytes);
    m_received += bytes.size();
    m_lastByte = Clock::now();
    // The byte that reaches the limit is taken in but never handled: the
    // printer hangs up on it.
    m_hangUp = closeAfter && m_received >= fault.value;
    if (m_raw) {
        m_context.firmware.OnReceived(bytes);
        return ReadResult::Data;
    }
    const ByteView kept = m_hangUp ? bytes.first(bytes.size() - 1) : bytes;
    m_pending.insert(m_pending.end(), kept.begin(), kept.end());
    return ReadResult::Data;
}

void Connection::Send(ByteView block) {
    const Fault fault = m_context.fault.Get();
    if (!m_open || fault.kind == Fault::Kind::Silent) {
        return;
    }
    if (fault.kind == Fault::Kind::Slow &&
        !PauseUnlessStopped(m_context.stop, milliseconds(fault.value))) {
        return;
    }
    const auto pieces = ShapeReply(fault, block);
    for (std::size_t i = 0; i < pieces.size() && m_open; ++i) {
        if (i > 0 && !PauseUnlessStopped(m_context.stop, milliseconds(fault.value))) {
            return;
        }
        m_open = SendAll(m_socket.Get(), pieces[i], m_context.stop);
    }
}

std::optional<std::uint8_t> Connection::AwaitHostByte(milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    while (m_pending.empty()) {
        const auto left = std::chrono::duration_cast<milliseconds>(deadline - Clock::now());
        if (!m_open || m_hangUp || left <= milliseconds(0) ||
            ReadMore(left) == ReadResult::Closed) {
            return std::nullopt;
        }
    }
    const std::uint8_t byte = m_pending.front();
    m_pending.erase(m_pending.begin());
    return byte;
}

}  // namespace printdeck::vp
