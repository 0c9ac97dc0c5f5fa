#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "nvimage/NvRaster.h"

namespace printdeck {

// One image of a print file, as the printer will store it.
struct CPrintFileImage {
    std::string m_strAddress;   // key-code family: the two address bytes
    int m_nIndex = -1;          // indexed family: 0, 1, ... in file order
    std::size_t m_nOffset = 0;  // where its record or block starts in the file
    std::size_t m_nBytes = 0;   // the record's or block's length
    CRaster m_Raster;
};

struct CPrintFileContents {
    bool m_bIndexed = false;
    std::vector<CPrintFileImage> m_Images;
};

// Why a file is no print file, and the byte offset where that shows.
struct CPrintFileFault {
    std::size_t m_nOffset = 0;
    std::string m_strReason;
};

// Decodes a print file of either family: key-code records one after the
// other, or one indexed download header followed by its image blocks, with
// nothing else in the file. Every length is checked against the file before
// it is used; a file that does not hold exactly such records is refused.
std::optional<CPrintFileFault> ReadPrintFile(std::span<const std::uint8_t> file,
                                             CPrintFileContents& contents);

}  // namespace printdeck
