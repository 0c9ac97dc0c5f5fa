#include "nvimage/NvRaster.h"

#include <algorithm>
#include <array>
#include <cstring>

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

// Reads one pixel of a row as 0x..RRGGBB, so every format is ANDed and
// tested the same way.
struct Rgb888Reader {
    static constexpr std::size_t kBytes = 3;
    static std::uint32_t Word(const std::uint8_t* pixel) {
        return static_cast<std::uint32_t>(pixel[0]) << 16 |
               static_cast<std::uint32_t>(pixel[1]) << 8 | pixel[2];
    }
};

struct Rgb32Reader {
    static constexpr std::size_t kBytes = 4;
    static std::uint32_t Word(const std::uint8_t* pixel) {
        std::uint32_t word = 0;
        std::memcpy(&word, pixel, sizeof word);
        return word;
    }
};

// Calls action with the reader of the rows' pixel format.
template <typename Action>
auto WithReader(PixelFormat format, Action&& action) {
    return format == PixelFormat::Rgb32 ? action(Rgb32Reader{}) : action(Rgb888Reader{});
}

bool IsDarkWord(std::uint32_t word) {
    return IsDarkPixel(static_cast<std::uint8_t>(word >> 16), static_cast<std::uint8_t>(word >> 8),
                       static_cast<std::uint8_t>(word)) != 0;
}

template <typename Reader>
CRaster PackDots(const CPixelRows& rows, int brightness) {
    CRaster raster;
    raster.m_nWidth = rows.m_nWidth;
    raster.m_nHeight = rows.m_nHeight;
    const std::size_t bytesPerRow = static_cast<std::size_t>(raster.BytesPerRow());
    raster.m_Bytes.assign(bytesPerRow * static_cast<std::size_t>(raster.m_nHeight), 0);
    const std::array<bool, 16> open = MaskFor(brightness);
    for (int y = 0; y < rows.m_nHeight; ++y) {
        std::uint8_t* row = raster.m_Bytes.data() + bytesPerRow * static_cast<std::size_t>(y);
        const std::uint8_t* pixel = rows.Row(y);
        for (int x = 0; x < rows.m_nWidth; ++x, pixel += Reader::kBytes) {
            if (open[static_cast<std::size_t>((x & 3) * 4 + (y & 3))] &&
                IsDarkWord(Reader::Word(pixel))) {
                row[x >> 3] |= static_cast<std::uint8_t>(0x80u >> (x & 7));
            }
        }
    }
    return raster;
}

// The first source column of each destination column, and the end of the
// last: the shrink map is monotonic, so every destination column ANDs one
// contiguous run of source pixels.
std::vector<int> ColumnStarts(int from, int to) {
    const std::vector<int> map = ShrinkMap(from, to);
    std::vector<int> starts(static_cast<std::size_t>(to) + 1, from);
    int column = 0;
    for (int s = 0; s < from; ++s) {
        for (; column <= map[static_cast<std::size_t>(s)]; ++column) {
            starts[static_cast<std::size_t>(column)] = s;
        }
    }
    return starts;
}

// A shrunk picture as 32-bit words, 0x..RRGGBB, which PackDots reads in place.
struct ShrunkWords {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> words;

    CPixelRows Rows() const {
        return {width, height, PixelFormat::Rgb32,
                reinterpret_cast<const std::uint8_t*>(words.data()),
                static_cast<std::size_t>(width) * sizeof(std::uint32_t)};
    }
};

template <typename Reader>
ShrunkWords Shrink(const CPixelRows& source, int width, int height) {
    ShrunkWords result{width, height, {}};
    if (width <= 0 || height <= 0) {
        return result;
    }
    result.words.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height),
                        0xFFFFFFFFu);
    const std::vector<int> starts = ColumnStarts(source.m_nWidth, width);
    const std::vector<int> rows = ShrinkMap(source.m_nHeight, height);
    for (int y = 0; y < source.m_nHeight; ++y) {
        const std::uint8_t* in = source.Row(y);
        std::uint32_t* out =
            result.words.data() + static_cast<std::size_t>(rows[static_cast<std::size_t>(y)]) *
                                      static_cast<std::size_t>(width);
        for (int j = 0; j < width; ++j) {
            std::uint32_t dark = out[j];
            const int end = starts[static_cast<std::size_t>(j) + 1];
            for (int x = starts[static_cast<std::size_t>(j)]; x < end; ++x) {
                dark &= Reader::Word(in + static_cast<std::size_t>(x) * Reader::kBytes);
            }
            out[j] = dark;
        }
    }
    return result;
}

ShrunkWords ShrinkRows(const CPixelRows& source, int width, int height) {
    return WithReader(source.m_Format,
                      [&](auto reader) { return Shrink<decltype(reader)>(source, width, height); });
}

CRaster PackRows(const CPixelRows& rows, int brightness) {
    return WithReader(rows.m_Format,
                      [&](auto reader) { return PackDots<decltype(reader)>(rows, brightness); });
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

CBitmap ShrinkBitmap(const CPixelRows& source, int width, int height) {
    const ShrunkWords shrunk = ShrinkRows(source, width, height);
    CBitmap result(std::max(width, 0), std::max(height, 0), 0xFF);
    for (std::size_t i = 0; i < shrunk.words.size(); ++i) {
        const std::uint32_t word = shrunk.words[i];
        std::uint8_t* pixel = result.m_Pixels.data() + i * 3;
        pixel[0] = static_cast<std::uint8_t>(word >> 16);
        pixel[1] = static_cast<std::uint8_t>(word >> 8);
        pixel[2] = static_cast<std::uint8_t>(word);
    }
    return result;
}

bool IsMaskCellOpen(int brightness, int x, int y) {
    // A cell closes when its threshold is below 0.16 x brightness.
    return 100 * kMaskTable[static_cast<std::size_t>(x & 3)][static_cast<std::size_t>(y & 3)] >=
           16 * brightness;
}

CRaster MakeRaster(const CPixelRows& picture, int maxWidth, int brightness) {
    const CImageSize size = ScaledSize(picture.m_nWidth, picture.m_nHeight, maxWidth);
    if (size.m_nWidth == picture.m_nWidth) {
        return PackRows(picture, brightness);
    }
    return PackRows(ShrinkRows(picture, size.m_nWidth, size.m_nHeight).Rows(), brightness);
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
