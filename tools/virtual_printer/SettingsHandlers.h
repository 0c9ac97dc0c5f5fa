#pragma once

#include "CommandDispatcher.h"
#include "Guarded.h"
#include "Identity.h"
#include "SettingsMemory.h"

namespace printdeck::vp {

// The settings families: setting mode, memory-switch reads and writes and
// serial items in the dialect the firmware reply implies (MSW 1D 28 45 or
// SW 08 5E 45; the other dialect's commands stay unknown), Bluetooth items
// (1F 1F) and card-reader sentinels (08 4D 53).
void RegisterSettingsHandlers(CommandDispatcher& dispatcher, Guarded<Identity>& identity,
                              Guarded<SettingsMemory>& memory);

// True when a printer that identifies itself so speaks the SW dialect.
bool SpeaksSwDialect(const Identity& identity);

}  // namespace printdeck::vp
