#include "nvimage/NvResult.h"

#include "app/StringTable.h"
#include "nvimage/NvImageList.h"
#include "nvimage/NvRaster.h"

namespace printdeck {

int CNvResult::StringId() const {
    switch (m_nCode) {
        case RC_NV_LOAD_FAILED:
            return IDS_FAILED_TO_LOAD_IMAGE;
        case RC_NV_AREA_FULL:
            return IDS_NV_AREA_TOO_SMALL;
        default:
            return 0;
    }
}

std::string CNvResult::BaseText() const {
    if (const int id = StringId(); id != 0) {
        return LoadString(id);
    }
    switch (m_nCode) {
        case RC_NV_LIST_FULL:
            return "Image list is full! It holds at most " + std::to_string(kNvMaxImages) +
                   " images.";
        case RC_NV_IMAGE_TOO_LARGE:
            return "Image is too large for one NV image! Its raster may hold at most " +
                   std::to_string(kMaxKeyCodeRaster) + " bytes.";
        case RC_BAD_ADDRESS:
            return "NV address must have two characters!";
        case RC_NV_NO_FREE_ADDRESS:
            return "No free NV address left! Automatic addressing uses 10 to 99.";
        default:
            return ResultCodeName(m_nCode);
    }
}

std::string CNvResult::Text() const {
    std::string text = BaseText();
    for (const std::string* line : {&m_strSubject, &m_strReason}) {
        if (!line->empty()) {
            text += '\n';
            text += *line;
        }
    }
    return text;
}

}  // namespace printdeck
