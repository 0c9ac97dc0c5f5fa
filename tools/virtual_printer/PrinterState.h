#pragma once

#include "Guarded.h"
#include "Identity.h"
#include "NvMemory.h"
#include "SettingsMemory.h"

namespace printdeck::vp {

// The printer's state, one member per command family. It outlives
// connections, as a real printer's memory does.
struct PrinterState {
    Guarded<Identity> identity;
    Guarded<SettingsMemory> settings;
    Guarded<NvMemory> nv;
};

}  // namespace printdeck::vp
