#include "CommandHandler.h"

#include <algorithm>
#include <utility>

namespace printdeck::vp {

namespace {

// NotMine when the pending bytes contradict the prefix, NeedMore while they
// are a proper part of it, nullopt once the whole prefix is there.
std::optional<Match> CheckPrefix(ByteView pending, ByteView prefix) {
    const std::size_t common = std::min(pending.size(), prefix.size());
    if (!std::equal(prefix.begin(), prefix.begin() + common, pending.begin())) {
        return Match::NotMine();
    }
    if (pending.size() < prefix.size()) {
        return Match::NeedMore();
    }
    return std::nullopt;
}

}  // namespace

Match MatchPrefix(ByteView pending, ByteView command) {
    return CheckPrefix(pending, command).value_or(Match::Complete(command.size()));
}

Match MatchLength(ByteView pending, ByteView prefix, std::size_t total) {
    if (auto early = CheckPrefix(pending, prefix)) {
        return *early;
    }
    total = std::max(total, prefix.size());
    return pending.size() < total ? Match::NeedMore() : Match::Complete(total);
}

Match MatchTerminated(ByteView pending, ByteView prefix, std::uint8_t terminator, int count,
                      std::size_t limit) {
    if (auto early = CheckPrefix(pending, prefix)) {
        return *early;
    }
    int seen = 0;
    const std::size_t end = std::min(pending.size(), limit);
    for (std::size_t i = prefix.size(); i < end; ++i) {
        if (pending[i] == terminator && ++seen == count) {
            return Match::Complete(i + 1);
        }
    }
    return pending.size() < limit ? Match::NeedMore() : Match::NotMine();
}

FixedCommandHandler::FixedCommandHandler(std::string name, Bytes command, Action action)
    : m_name(std::move(name)), m_command(std::move(command)), m_action(std::move(action)) {}

}  // namespace printdeck::vp
