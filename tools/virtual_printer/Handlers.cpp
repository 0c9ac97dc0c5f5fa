#include "Handlers.h"

#include "IdentificationHandlers.h"
#include "NvHandlers.h"
#include "SettingsHandlers.h"

namespace printdeck::vp {

void RegisterAllHandlers(CommandDispatcher& dispatcher, PrinterState& state) {
    RegisterIdentificationHandlers(dispatcher, state.identity);
    RegisterSettingsHandlers(dispatcher, state.identity, state.settings);
    RegisterNvHandlers(dispatcher, state.identity, state.nv);
}

}  // namespace printdeck::vp
