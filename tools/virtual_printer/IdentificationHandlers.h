#pragma once

#include "CommandDispatcher.h"
#include "Guarded.h"
#include "Identity.h"

namespace printdeck::vp {

// GS I C (model), GS I A (firmware), GS I E (code page), ESC M I (card reader).
void RegisterIdentificationHandlers(CommandDispatcher& dispatcher, Guarded<Identity>& identity);

}  // namespace printdeck::vp
