#pragma once

#include <string>
#include <utility>

#include "device/ResultCodes.h"

namespace printdeck {

// Outcomes of the image list and the raster builders, beside the RC_* codes
// of the printer operations (RC_NV_AREA_FULL, RC_BAD_ADDRESS come from there).
inline constexpr int RC_NV_LOAD_FAILED = -2;       // the file does not load as a bitmap
inline constexpr int RC_NV_LIST_FULL = 403;        // the working list holds kNvMaxImages already
inline constexpr int RC_NV_IMAGE_TOO_LARGE = 404;  // the raster does not fit one NV record
inline constexpr int RC_NV_NO_FREE_ADDRESS = 405;  // automatic addressing has used 10 to 99

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
    // The message in English without the subject.
    std::string BaseText() const;
    // The message followed by the subject and the reason, each on a line of
    // its own.
    std::string Text() const;
};

}  // namespace printdeck
