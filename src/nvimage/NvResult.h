#pragma once

#include <string>
#include <utility>

#include "device/ResultCodes.h"

namespace printdeck {

// Outcomes of the image list, the raster builders and the download flow,
// beside the RC_* codes of the printer operations (RC_NV_AREA_FULL,
// RC_BAD_ADDRESS come from there).
inline constexpr int RC_NV_LOAD_FAILED = -2;         // the file does not load as a bitmap
inline constexpr int RC_NV_LIST_FULL = 403;          // the working list holds kNvMaxImages already
inline constexpr int RC_NV_IMAGE_TOO_LARGE = 404;    // the raster does not fit one NV record
inline constexpr int RC_NV_NO_FREE_ADDRESS = 405;    // automatic addressing has used 10 to 99
inline constexpr int RC_NV_LIST_EMPTY = 406;         // the working list holds no image
inline constexpr int RC_NV_ADDRESS_CANCELLED = 407;  // the user gave no address
inline constexpr int RC_NV_ADDRESS_TAKEN = 408;      // the address may not be used again
inline constexpr int RC_NV_IMAGE_EMPTY = 409;        // scaled to the printer it has no row
inline constexpr int RC_NV_NOT_CONFIRMED = 410;  // a downloaded address is missing from the list
inline constexpr int RC_NV_PRINT_FILE_FAILED = 411;  // the print file could not be written
inline constexpr int RC_NV_OPERATION_FAILED = 412;   // a printer operation failed or was cancelled
inline constexpr int RC_NV_COUNT_NOT_STORED = 413;   // downloaded, but "Count" could not be stored

// A result that the user is to be told about, with the image file or the
// address it concerns. Windows show StringId() through the string table when
// it is not 0 and append the subject; terminals print Text().
struct CNvResult {
    CNvResult() = default;
    CNvResult(int code, std::string subject, std::string reason = {})
        : m_nCode(code), m_strSubject(std::move(subject)), m_strReason(std::move(reason)) {}

    int m_nCode = RC_OK;
    std::string m_strSubject;
    std::string m_strReason;  // why, when the code alone does not say it

    bool Ok() const { return m_nCode == RC_OK; }
    // String-table identifier of the message; 0 when the message is not in it.
    int StringId() const;
    // The message in English without the subject; empty for
    // RC_NV_OPERATION_FAILED, whose subject is the whole message.
    std::string BaseText() const;
    // The message followed by the subject and the reason, each on a line of
    // its own.
    std::string Text() const;
    // True for the outcomes a window shows as a warning rather than an error:
    // nothing to work on, or the user stopped the work himself.
    bool IsNotice() const;
};

}  // namespace printdeck
