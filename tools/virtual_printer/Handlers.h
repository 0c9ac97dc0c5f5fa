#pragma once

#include "CommandDispatcher.h"
#include "PrinterState.h"

namespace printdeck::vp {

// Registers every command family the printer understands, in the order in
// which the dispatcher asks them. A new family gets its own
// <Family>Handlers.h/.cpp with one Register<Family>Handlers function, its
// state as a Guarded member of PrinterState, and one call here.
void RegisterAllHandlers(CommandDispatcher& dispatcher, PrinterState& state);

}  // namespace printdeck::vp
