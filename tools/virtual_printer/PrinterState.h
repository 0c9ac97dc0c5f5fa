#pragma once

#include "Guarded.h"
#include "Identity.h"

namespace printdeck::vp {

// The printer's state, one member per command family. It outlives
// connections, as a real printer's memory does.
struct PrinterState {
    Guarded<Identity> identity;
};

}  // namespace printdeck::vp
