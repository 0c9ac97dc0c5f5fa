#include "IdentificationHandlers.h"

#include <string>

namespace printdeck::vp {

namespace {

constexpr std::uint8_t GS = 0x1D;
constexpr std::uint8_t ESC = 0x1B;
constexpr std::uint8_t kReplyMark = 0x37;
constexpr std::uint8_t kReplyMsr = 0x80;

void SendText(ReplyChannel& reply, const std::string& text) {
    reply.Send(ToBytes(text));
}

void SendTerminatedText(ReplyChannel& reply, const std::string& text) {
    Bytes bytes = ToBytes(text);
    bytes.push_back(0x00);
    reply.Send(bytes);
}

}  // namespace

void RegisterIdentificationHandlers(CommandDispatcher& dispatcher, Guarded<Identity>& identity) {
    dispatcher.RegisterFixed("model", {GS, 'I', 'C'}, [&identity](ReplyChannel& reply) {
        SendTerminatedText(reply, identity.Get().model);
    });
    dispatcher.RegisterFixed("firmware", {GS, 'I', 'A'}, [&identity](ReplyChannel& reply) {
        SendTerminatedText(reply, identity.Get().firmware);
    });
    dispatcher.RegisterFixed("code-page", {GS, 'I', 'E'}, [&identity](ReplyChannel& reply) {
        if (const auto codePage = identity.Get().codePage) {
            SendText(reply, *codePage);
        }
    });
    dispatcher.RegisterFixed("card-reader", {ESC, 'M', 'I'}, [&identity](ReplyChannel& reply) {
        reply.Send(Bytes{kReplyMark, kReplyMsr, identity.Get().msr, 0x00});
    });
}

}  // namespace printdeck::vp
