#pragma once

namespace printdeck {

// Outcome of every printer operation. Callers mostly test zero against
// non-zero; the codes tell failures apart in an operation's own branches.
inline constexpr int RC_OK = 0;
inline constexpr int RC_PORT_CLOSED = 101;    // port not open; nothing was sent
inline constexpr int RC_NOT_SUPPORTED = 107;  // model or firmware lacks the operation
inline constexpr int RC_BAD_VALUE = 108;      // reply lacks the expected value
inline constexpr int RC_BAD_REPLY = 109;      // reply has an unexpected header or form
inline constexpr int RC_WRITE_FAILED = 300;   // command not written completely
inline constexpr int RC_NO_REPLY = 301;       // no reply, or too short, in time
inline constexpr int RC_NO_NV_IMAGES = 400;   // no NV image address held
inline constexpr int RC_NV_AREA_FULL = 401;   // NV image area too small
inline constexpr int RC_BAD_ADDRESS = 402;    // NV address shorter than two characters

// Short English name of a result code, for terminal output and traces.
const char* ResultCodeName(int code);

}  // namespace printdeck
