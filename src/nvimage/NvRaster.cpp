#include "nvimage/NvRaster.h"

#include <algorithm>
#include <array>

#include "nvimage/NvResult.h"

namespace printdeck {

namespace {

constexpr int kNarrowMaxWidth = 384;
constexpr int kWideMaxWidth = 576;
constexpr int kLastNarrowModel = 220;
constexpr std::uint8_t kWhiteAbove = 225;
constexpr int kMaxHeaderValue = 0xFFFF;

// Dither thresholds, indexed [x mod 4][y mod 4].
constexpr std::array<std::array<int, 4>, 4> kMaskTable = {{
    {16, 8, 14, 6},
    {12, 4, 10, 2},
    {13, 5, 15, 7},
    {9, 1, 11, 3},
}};

// Where each pixel of a run of `from` pixels goes when the run shrinks to `to`
// pixels. In destination coordinates the centre of source pixel s lies at
// (2s + 1) * to / (2 * from); it belongs to the destination pixel j whose span
// (j, j + 1] holds that point, so j = ceil((2s + 1) * to / (2 * from)) - 1.
// A centre exactly on a boundary goes to the pixel on its left. Integer
// arithmetic keeps boundary cases exact.
std::vector<int> ShrinkMap(int from, int to) {
    std::vector<int> map(static_cast<std::size_t>(from));
    const std::int64_t denominator = 2 * static_cast<std::int64_t>(from);
    for (int s = 0; s < from; ++s) {
        const std::int64_t numerator = (2 * static_cast<std::int64_t>(s) + 1) * to;
        map[static_cast<std::size_t>(s)] =
            static_cast<int>((numerator + denominator - 1) / denominator) - 1;
    }
    return map;
}

std::array<bool, 16> MaskFor(int brightness) {
    std::array<bool, 16> open{};
    for (int x = 0; x < 4; ++x) {
        for (int y = 0; y < 4; ++y) {
            open[static_cast<std::size_t>(x * 4 + y)] = IsMaskCellOpen(brightness, x, y);
        }
    }
    return open;
}

CRaster PackDots(const CBitmap& bitmap, int brightness) {
    CRaster raster;
    raster.m_nWidth = bitmap.m_nWidth;
    raster.m_nHeight = bitmap.m_nHeight;
    const std::size_t bytesPerRow = static_cast<std::size_t>(raster.BytesPerRow());
    raster.m_Bytes.assign(bytesPerRow * static_cast<std::size_t>(raster.m_nHeight), 0);
    const std::array<bool, 16> open = MaskFor(brightness);
    for (int y = 0; y < bitmap.m_nHeight; ++y) {
        std::uint8_t* row = raster.m_Bytes.data() + bytesPerRow * static_cast<std::size_t>(y);
        const std::uint8_t* pixel = bitmap.Pixel(0, y);
        for (int x = 0; x < bitmap.m_nWidth; ++x, pixel += 3) {
            if (open[static_cast<std::size_t>((x & 3) * 4 + (y & 3))] &&
                IsDarkPixel(pixel[0], pixel[1], pixel[2])) {
                row[x >> 3] |= static_cast<std::uint8_t>(0x80u >> (x & 7));
            }
        }
    }
    return raster;
}

void AppendLittleEndian16(std::vector<std::uint8_t>& bytes, std::size_t value) {
    bytes.push_back(static_cast<std::uint8_t>(value & 0xFF));
    bytes.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
}

bool SizeFitsHeader(const CRaster& raster) {
    return raster.m_nWidth <= kMaxHeaderValue && raster.m_nHeight <= kMaxHeaderValue;
}

// Width, height and colour fields shared by both framings.
void AppendImageHeader(const CRaster& raster, std::vector<std::uint8_t>& bytes) {
    bytes.push_back(0x01);
    AppendLittleEndian16(bytes, static_cast<std::size_t>(raster.m_nWidth));
    AppendLittleEndian16(bytes, static_cast<std::size_t>(raster.m_nHeight));
    bytes.push_back(0x31);
}

}  // namespace

int KeyCodeMaxWidth(int model) {
    return model > kLastNarrowModel ? kWideMaxWidth : kNarrowMaxWidth;
}

int IsDarkPixel(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
    return red > kWhiteAbove && green > kWhiteAbove && blue > kWhiteAbove ? 0 : 1;
}

CImageSize ScaledSize(int width, int height, int maxWidth) {
    CImageSize size;
    size.m_nWidth = std::min(width, maxWidth);
    if (width > 0) {
        size.m_nHeight =
            static_cast<int>(static_cast<std::int64_t>(height) * size.m_nWidth / width);
    }
    return size;
}

CBitmap ShrinkBitmap(const CBitmap& source, int width, int height) {
    CBitmap result(width, height, 0xFF);
    if (width <= 0 || height <= 0) {
        return result;
    }
    const std::vector<int> columns = ShrinkMap(source.m_nWidth, width);
    const std::vector<int> rows = ShrinkMap(source.m_nHeight, height);
    for (int y = 0; y < source.m_nHeight; ++y) {
        const std::uint8_t* in = source.Pixel(0, y);
        std::uint8_t* outRow = result.Pixel(0, rows[static_cast<std::size_t>(y)]);
        for (int x = 0; x < source.m_nWidth; ++x, in += 3) {
            std::uint8_t* out = outRow + 3 * columns[static_cast<std::size_t>(x)];
            out[0] &= in[0];
            out[1] &= in[1];
            out[2] &= in[2];
        }
    }
    return result;
}

bool IsMaskCellOpen(int brightness, int x, int y) {
    // A cell closes when its threshold is below 0.16 x brightness.
    return 100 * kMaskTable[static_cast<std::size_t>(x & 3)][static_cast<std::size_t>(y & 3)] >=
           16 * brightness;
}

CRaster MakeRaster(const CBitmap& bitmap, int maxWidth, int brightness) {
    const CImageSize size = ScaledSize(bitmap.m_nWidth, bitmap.m_nHeight, maxWidth);
    if (size.m_nWidth == bitmap.m_nWidth) {
        return PackDots(bitmap, brightness);
    }
    return PackDots(ShrinkBitmap(bitmap, size.m_nWidth, size.m_nHeight), brightness);
}

int FrameKeyCodeRecord(const CRaster& raster, char kc1, char kc2,
                       std::vector<std::uint8_t>& record) {
    if (raster.m_Bytes.size() > kMaxKeyCodeRaster || !SizeFitsHeader(raster)) {
        return RC_NV_IMAGE_TOO_LARGE;
    }
    std::vector<std::uint8_t> bytes = {0x1D, 0x28, 0x4C};
    bytes.reserve(16 + raster.m_Bytes.size());
    AppendLittleEndian16(bytes, 11 + raster.m_Bytes.size());
    bytes.insert(bytes.end(), {0x30, 0x43, 0x30, static_cast<std::uint8_t>(kc1),
                               static_cast<std::uint8_t>(kc2)});
    AppendImageHeader(raster, bytes);
    bytes.insert(bytes.end(), raster.m_Bytes.begin(), raster.m_Bytes.end());
    record = std::move(bytes);
    return RC_OK;
}

int FrameIndexedBlock(const CRaster& raster, std::vector<std::uint8_t>& block) {
    if (!SizeFitsHeader(raster)) {
        return RC_NV_IMAGE_TOO_LARGE;
    }
    std::vector<std::uint8_t> bytes;
    bytes.reserve(6 + raster.m_Bytes.size());
    AppendImageHeader(raster, bytes);
    bytes.insert(bytes.end(), raster.m_Bytes.begin(), raster.m_Bytes.end());
    block = std::move(bytes);
    return RC_OK;
}

}  // namespace printdeck
