#include "device/ResultCodes.h"

namespace printdeck {

const char* ResultCodeName(int code) {
    switch (code) {
        case RC_OK:
            return "ok";
        case RC_PORT_CLOSED:
            return "port closed";
        case RC_NOT_SUPPORTED:
            return "not supported";
        case RC_BAD_VALUE:
            return "bad value";
        case RC_BAD_REPLY:
            return "bad reply";
        case RC_WRITE_FAILED:
            return "write failed";
        case RC_NO_REPLY:
            return "no reply";
        case RC_NO_NV_IMAGES:
            return "no NV images";
        case RC_NV_AREA_FULL:
            return "NV area full";
        case RC_BAD_ADDRESS:
            return "bad NV address";
        default:
            return "unknown result";
    }
}

}  // namespace printdeck
