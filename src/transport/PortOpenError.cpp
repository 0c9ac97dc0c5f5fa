#include "transport/PortOpenError.h"

#include <cerrno>
#include <cstring>

namespace printdeck {

namespace {

// The system's reason in the words a user looks for.
std::string SystemReason(int error) {
    switch (error) {
        case ENOENT:
        case ENODEV:
        case ENXIO:
            return "no such device";
        case EACCES:
        case EPERM:
            return "permission denied";
        case EBUSY:
            return "busy, another program is using it";
        case ECONNREFUSED:
            return "connection refused";
        case ETIMEDOUT:
            return "timed out";
        default:
            return std::strerror(error);
    }
}

}  // namespace

std::string PortOpenError::Text() const {
    if (failure == PortFailure::None) {
        return {};
    }
    return target + ": " + (error != 0 ? SystemReason(error) : detail);
}

PortOpenError SystemRefusal(const std::string& target, int error) {
    return PortOpenError{PortFailure::SystemRefused, target, error != 0 ? error : EIO, {}};
}

}  // namespace printdeck
