#include "CommandDispatcher.h"

#include <utility>

namespace printdeck::vp {

void CommandDispatcher::Register(std::unique_ptr<ICommandHandler> handler) {
    m_handlers.push_back(std::move(handler));
}

void CommandDispatcher::RegisterFixed(std::string name, Bytes command,
                                      FixedCommandHandler::Action action) {
    Register(std::make_unique<FixedCommandHandler>(std::move(name), std::move(command),
                                                   std::move(action)));
}

void CommandDispatcher::BeginConnection() {
    for (auto& handler : m_handlers) {
        handler->OnConnect();
    }
}

std::optional<CommandDispatcher::Found> CommandDispatcher::Find(ByteView pending) const {
    for (const auto& handler : m_handlers) {
        Match match = handler->Recognise(pending);
        // A claimed length outside the pending bytes is a handler bug; the
        // bytes are then treated as unclaimed rather than overrun.
        const bool badLength = match.kind == Match::Kind::Complete &&
                               (match.length == 0 || match.length > pending.size());
        if (match.kind != Match::Kind::NotMine && !badLength) {
            return Found{handler.get(), match};
        }
    }
    return std::nullopt;
}

std::size_t CommandDispatcher::CountUnknown(ByteView pending) const {
    std::size_t count = 0;
    while (count < pending.size() && !Find(pending.subspan(count))) {
        ++count;
    }
    return count;
}

void CommandDispatcher::Dispatch(Bytes& pending, ReplyChannel& reply, Recorder& recorder) {
    while (!pending.empty()) {
        if (const std::size_t unknown = CountUnknown(pending)) {
            recorder.OnUnknown(ByteView(pending).first(unknown));
            pending.erase(pending.begin(), pending.begin() + static_cast<std::ptrdiff_t>(unknown));
            continue;
        }
        const Found found = *Find(pending);
        if (found.match.kind == Match::Kind::NeedMore) {
            if (pending.size() >= kMaxPendingBytes) {
                recorder.OnMalformed(pending);
                pending.clear();
            }
            return;
        }
        // Copied out first: the handler may read further host bytes, which
        // come from the same pending buffer.
        const auto length = static_cast<std::ptrdiff_t>(found.match.length);
        const Bytes command(pending.begin(), pending.begin() + length);
        pending.erase(pending.begin(), pending.begin() + length);
        found.handler->Handle(command, reply);
        recorder.OnCommand(found.handler->Name(), command);
    }
}

}  // namespace printdeck::vp
