#pragma once

#include "CommandDispatcher.h"
#include "Guarded.h"
#include "Identity.h"
#include "NvMemory.h"

namespace printdeck::vp {

// The NV image commands of the family the firmware reply implies: key-code
// printers take GS ( L (list with ACK/CAN per reply block, define, print,
// delete one, delete all), indexed printers 08 5E 37 (download behind a
// header) and 08 5E 4C (print by index, delete all). The other family's
// commands stay unknown.
void RegisterNvHandlers(CommandDispatcher& dispatcher, Guarded<Identity>& identity,
                        Guarded<NvMemory>& memory);

}  // namespace printdeck::vp
