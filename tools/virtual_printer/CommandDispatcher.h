#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "Bytes.h"
#include "CommandHandler.h"
#include "Recorder.h"

namespace printdeck::vp {

// Splits the received byte stream into commands and hands each to the
// handler that recognises it.
class CommandDispatcher {
public:
    // A command still incomplete at this size is given up (bounds memory).
    static constexpr std::size_t kMaxPendingBytes = 1 << 20;

    void Register(std::unique_ptr<ICommandHandler> handler);
    void RegisterFixed(std::string name, Bytes command, FixedCommandHandler::Action action);

    void BeginConnection();
    // Handles every complete command at the front of `pending`, in order,
    // and drops leading bytes that no handler claims. Returns with `pending`
    // empty or holding the start of a command that needs more bytes.
    void Dispatch(Bytes& pending, ReplyChannel& reply, Recorder& recorder);

private:
    struct Found {
        ICommandHandler* handler;
        Match match;
    };
    // The first handler that does not answer NotMine, if any.
    std::optional<Found> Find(ByteView pending) const;
    // Number of leading bytes that no handler claims.
    std::size_t CountUnknown(ByteView pending) const;

    std::vector<std::unique_ptr<ICommandHandler>> m_handlers;
};

}  // namespace printdeck::vp
