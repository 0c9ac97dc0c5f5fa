#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "Bytes.h"

namespace printdeck::vp {

// What a handler makes of the bytes at the front of the pending stream.
struct Match {
    enum class Kind { NotMine, NeedMore, Complete };
    Kind kind = Kind::NotMine;
    std::size_t length = 0;  // bytes of the command, for Complete

    static Match NotMine() { return {Kind::NotMine, 0}; }
    static Match NeedMore() { return {Kind::NeedMore, 0}; }
    static Match Complete(std::size_t length) { return {Kind::Complete, length}; }
    bool operator==(const Match&) const = default;
};

// The way back to the host for the command being handled.
class ReplyChannel {
public:
    virtual ~ReplyChannel() = default;
    // Sends one reply block; the printer's current fault shapes it (pieces,
    // delay, garbage, ...).
    virtual void Send(ByteView block) = 0;
    // Waits for the host's next byte after the current command, e.g. ACK 06
    // or CAN 18 after a list block. nullopt on time-out, hang-up or stop.
    virtual std::optional<std::uint8_t> AwaitHostByte(std::chrono::milliseconds timeout) = 0;
};

// One command (or one family of commands sharing a shape). Handlers are asked
// in registration order; the first answer other than NotMine decides.
class ICommandHandler {
public:
    virtual ~ICommandHandler() = default;
    virtual std::string_view Name() const = 0;
    // Looks at the front of the pending bytes; never consumes them.
    virtual Match Recognise(ByteView pending) = 0;
    // Called with exactly the bytes that Recognise claimed; they are already
    // removed from the pending stream, so AwaitHostByte sees what follows.
    virtual void Handle(ByteView command, ReplyChannel& reply) = 0;
    // A new host connection starts; reset per-connection modes here.
    virtual void OnConnect() {}
};

// Recognisers for the common command shapes.

// The pending bytes start with exactly `command`.
Match MatchPrefix(ByteView pending, ByteView command);
// The pending bytes start with `prefix`; the command is `total` bytes long
// in all (whatever its own length field claims).
Match MatchLength(ByteView pending, ByteView prefix, std::size_t total);
// The pending bytes start with `prefix`; the command ends with the
// `count`-th `terminator` byte after the prefix (text-terminated commands).
// Stops looking after `limit` bytes and then treats the input as not its own.
Match MatchTerminated(ByteView pending, ByteView prefix, std::uint8_t terminator, int count,
                      std::size_t limit);

// A command of fixed bytes whose action only needs the reply channel.
class FixedCommandHandler final : public ICommandHandler {
public:
    using Action = std::function<void(ReplyChannel&)>;
    FixedCommandHandler(std::string name, Bytes command, Action action);

    std::string_view Name() const override { return m_name; }
    Match Recognise(ByteView pending) override { return MatchPrefix(pending, m_command); }
    void Handle(ByteView, ReplyChannel& reply) override { m_action(reply); }

private:
    std::string m_name;
    Bytes m_command;
    Action m_action;
};

}  // namespace printdeck::vp
