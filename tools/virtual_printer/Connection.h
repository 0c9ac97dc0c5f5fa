#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>

#include "Bytes.h"
#include "CommandDispatcher.h"
#include "CommandHandler.h"
#include "Fault.h"
#include "FirmwareReceiver.h"
#include "Guarded.h"
#include "Recorder.h"
#include "Socket.h"

namespace printdeck::vp {

// What a connection shares with the printer that accepted it.
struct ConnectionContext {
    CommandDispatcher& dispatcher;
    Recorder& recorder;
    const Guarded<Fault>& fault;
    const StopSignal& stop;
    std::chrono::milliseconds partialTimeout;
    FirmwareReceiver& firmware;
};

// One host connection: reads bytes, lets the dispatcher turn them into
// commands and carries the replies back, until the host hangs up, a
// close-after fault hangs up, or the printer stops.
class Connection final : public ReplyChannel {
public:
    Connection(FileDescriptor socket, ConnectionContext context);

    void Run();

    void Send(ByteView block) override;
    std::optional<std::uint8_t> AwaitHostByte(std::chrono::milliseconds timeout) override;

private:
    enum class ReadResult { Data, Timeout, Closed };
    // Waits up to `timeout` (negative: without limit) for bytes and appends
    // them to the pending buffer.
    ReadResult ReadMore(std::chrono::milliseconds timeout);
    // Time left before the pending partial command is given up.
    std::chrono::milliseconds PartialTimeLeft() const;
    void DiscardPartial();

    FileDescriptor m_socket;
    ConnectionContext m_context;
    Bytes m_pending;
    std::size_t m_received = 0;
    std::chrono::steady_clock::time_point m_lastByte;
    bool m_open = true;
    bool m_hangUp = false;  // a close-after fault was reached
    bool m_raw = false;     // firmware reception: bytes bypass the dispatcher
};

}  // namespace printdeck::vp
