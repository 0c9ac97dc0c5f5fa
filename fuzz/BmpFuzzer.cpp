// BMP loading and conversion to both NV record families: any file either is
// refused with a reason or gives a bitmap of the size it declares, whose
// raster frames without reading outside its pixels.

#include <QtGlobal>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>
#include <vector>

#include "nvimage/Bitmap.h"
#include "nvimage/BmpCheck.h"
#include "nvimage/NvRaster.h"
#include "nvimage/QtBmpLoader.h"

namespace {

// Decoding a large picture is slow but not dangerous, and a fuzzer drawn to
// large pictures stops exploring; the size check itself still sees every file.
constexpr std::uint64_t kDecodedPixelLimit = 262'144;

std::uint64_t DeclaredPixels(std::span<const std::uint8_t> file) {
    if (file.size() < 26) {
        return 0;
    }
    const auto at = [&](std::size_t i) { return static_cast<std::uint32_t>(file[i]); };
    const std::uint32_t headerSize = at(14) | at(15) << 8 | at(16) << 16 | at(17) << 24;
    if (headerSize == 12) {
        return static_cast<std::uint64_t>(at(18) | at(19) << 8) * (at(20) | at(21) << 8);
    }
    const auto width =
        static_cast<std::int32_t>(at(18) | at(19) << 8 | at(20) << 16 | at(21) << 24);
    const auto height =
        static_cast<std::int32_t>(at(22) | at(23) << 8 | at(24) << 16 | at(25) << 24);
    return static_cast<std::uint64_t>(std::abs(static_cast<std::int64_t>(width))) *
           static_cast<std::uint64_t>(std::abs(static_cast<std::int64_t>(height)));
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // Qt warns about every short palette; the warnings only slow the target.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> file(data, size);
    if (DeclaredPixels(file) > kDecodedPixelLimit) {
        printdeck::FindBmpFault(file);
        return 0;
    }
    // Files on disk are checked from their headers and size alone, unless
    // they hold run-length data: both checks must agree.
    if (!printdeck::IsRunLengthBmp(file) &&
        printdeck::FindBmpHeaderFault(file.first(std::min(file.size(), printdeck::kBmpHeadBytes)),
                                      file.size()) != printdeck::FindBmpFault(file)) {
        std::abort();
    }
    printdeck::CPicture picture;
    std::string fault;
    if (!printdeck::CQtBmpLoader::LoadBytes(file, picture, fault)) {
        if (fault.empty()) {
            std::abort();
        }
        return 0;
    }
    const printdeck::CPixelRows& rows = picture.m_Rows;
    const std::size_t pixelBytes = rows.m_Format == printdeck::PixelFormat::Rgb32 ? 4 : 3;
    if (rows.m_nWidth <= 0 || rows.m_nHeight <= 0 || rows.m_pFirstRow == nullptr ||
        rows.m_nStride < static_cast<std::size_t>(rows.m_nWidth) * pixelBytes) {
        std::abort();
    }
    const int brightness = size % 101;
    std::vector<std::uint8_t> record;
    printdeck::FrameKeyCodeRecord(printdeck::MakeRaster(rows, 576, brightness), 'A', 'B', record);
    printdeck::FrameIndexedBlock(printdeck::MakeRaster(rows, 384, brightness), record);
    return 0;
}
