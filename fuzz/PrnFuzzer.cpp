// The print-file reader: any input either is refused with an offset inside
// the file and a reason, or is exactly the records it lists, each raster as
// long as its size says.

#include <cstdint>
#include <cstdlib>
#include <span>

#include "nvimage/PrintFileReader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    printdeck::CPrintFileContents contents;
    if (const auto fault = printdeck::ReadPrintFile(std::span(data, size), contents)) {
        if (fault->m_strReason.empty() || fault->m_nOffset > size) {
            std::abort();
        }
        return 0;
    }
    std::size_t covered = contents.m_bIndexed ? 9 : 0;
    for (const printdeck::CPrintFileImage& image : contents.m_Images) {
        const printdeck::CRaster& raster = image.m_Raster;
        const auto rasterBytes = static_cast<std::size_t>(raster.BytesPerRow()) *
                                 static_cast<std::size_t>(raster.m_nHeight);
        if (image.m_nOffset != covered || raster.m_Bytes.size() != rasterBytes ||
            raster.m_nWidth <= 0 || raster.m_nHeight <= 0) {
            std::abort();
        }
        covered += image.m_nBytes;
    }
    if (covered != size) {
        std::abort();
    }
    return 0;
}
