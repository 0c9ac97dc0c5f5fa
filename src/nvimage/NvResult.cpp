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
        case RC_NV_LIST_EMPTY:
            return IDS_NO_BMP_SELECTED;
        case RC_NV_ADDRESS_CANCELLED:
            return IDS_DOWNLOAD_CANCELLED;
        case RC_NV_ADDRESS_TAKEN:
            return IDS_ADDRESS_EXISTS;
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
        case RC_NO_NV_IMAGES:
            return "The printer holds no NV image.";
        case RC_NV_IMAGE_EMPTY:
            return "Image is too flat to print: scaled to the printer's width it has no row "
                   "left!";
        case RC_NV_NOT_CONFIRMED:
            return "The printer does not list the downloaded NV image!";
        case RC_NV_PRINT_FILE_FAILED:
            return "Failed to save the print file!";
        case RC_NV_COUNT_NOT_STORED:
            return "The NV images are in the printer, but their count could not be saved!";
        case RC_NV_OPERATION_FAILED:
            return {};
        default:
            return ResultCodeName(m_nCode);
    }
}

std::string CNvResult::Text() const {
    std::string text = BaseText();
    for (const std::string* line : {&m_strSubject, &m_strReason}) {
        if (!line->empty()) {
            if (!text.empty()) {
                text += '\n';
            }
            text += *line;
        }
    }
    return text;
}

bool CNvResult::IsNotice() const {
    return m_nCode == RC_NV_LIST_EMPTY || m_nCode == RC_NV_ADDRESS_CANCELLED;
}

}  // namespace printdeck
