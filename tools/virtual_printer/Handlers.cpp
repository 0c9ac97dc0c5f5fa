#include "Handlers.h"

#include "IdentificationHandlers.h"

namespace printdeck::vp {

void RegisterAllHandlers(CommandDispatcher& dispatcher, PrinterState& state) {
    RegisterIdentificationHandlers(dispatcher, state.identity);
}

}  // namespace printdeck::vp
