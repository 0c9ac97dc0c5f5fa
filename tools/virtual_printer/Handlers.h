#pragma once

#include "CommandDispatcher.h"
#include "PrinterState.h"

namespace printdeck::vp {

// Registers every command family the printer understands, in the order in
// which the dispatcher asks them.
void RegisterAllHandlers(CommandDispatcher& dispatcher, PrinterState& state);

}  // namespace printdeck::vp
