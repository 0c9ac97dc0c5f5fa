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

// Dark unless every channel of 0x..RRGGBB is above the white threshold, 225:
// a channel is above it when its top three bits are set and one of the four
// bits below them (0xE2 is the least such value). All three channels at once.
bool IsDarkWord(std::uint32_t word) {
    static_assert(kWhiteAbove == 0xE1);
    const bool topBitsSet = (word & 0xE0E0E0u) == 0xE0E0E0u;
    // Adding 0x7F carries into a channel's top bit exactly when its bits
    // 0x1E are not all clear; no channel carries into the next.
    const bool lowBitsSet = (((word & 0x1E1E1Eu) + 0x7F7F7Fu) & 0x808080u) == 0x808080u;
    return !(topBitsSet && lowBitsSet);
}

// The open mask cells of row y for the eight dots of one raster byte, leftmost
// dot in the top bit; the mask repeats every four dots.
std::uint8_t RowMask(const std::array<bool, 16>& open, int y) {
    unsigned mask = 0;
    for (int k = 0; k < 8; ++k) {
        if (open[static_cast<std::size_t>((k & 3) * 4 + (y & 3))]) {
            mask |= 0x80u >> k;
        }
    }
    return static_cast<std::uint8_t>(mask);
}

// The dots of `count` (at most eight) pixels, the first in the top bit.
template <typename Reader>
unsigned DotsOf(const std::uint8_t* pixels, int count) {
    unsigned dots = 0;
    for (int k = 0; k < count; ++k) {
        const std::uint8_t* pixel = pixels + static_cast<std::size_t>(k) * Reader::kBytes;
        dots |= static_cast<unsigned>(IsDarkWord(Reader::Word(pixel))) << (7 - k);
    }
    return dots;
}

// Packs one row of pixels into raster bytes, eight dots at a time; whole
// bytes first, so their loop has a fixed count.
template <typename Reader>
void PackRow(const std::uint8_t* pixels, int width, std::uint8_t rowMask, std::uint8_t* out) {
    int x0 = 0;
    for (; x0 + 8 <= width; x0 += 8) {
        out[x0 >> 3] = static_cast<std::uint8_t>(
            DotsOf<Reader>(pixels + static_cast<std::size_t>(x0) * Reader::kBytes, 8) & rowMask);
    }
    if (x0 < width) {
        out[x0 >> 3] = static_cast<std::uint8_t>(
            DotsOf<Reader>(pixels + static_cast<std::size_t>(x0) * Reader::kBytes, width - x0) &
            rowMask);
    }
}

// A raster of no dots (white paper) of the given size.
CRaster BlankRaster(int width, int height) {
    CRaster raster;
    raster.m_nWidth = width;
    raster.m_nHeight = height;
    raster.m_Bytes.assign(
        static_cast<std::size_t>(raster.BytesPerRow()) * static_cast<std::size_t>(height), 0);
    return raster;
}

std::uint8_t* RasterRow(CRaster& raster, int y) {
    return raster.m_Bytes.data() +
           static_cast<std::size_t>(raster.BytesPerRow()) * static_cast<std::size_t>(y);
}

template <typename Reader>
CRaster PackDots(const CPixelRows& rows, int brightness) {
    CRaster raster = BlankRaster(rows.m_nWidth, rows.m_nHeight);
    const std::array<bool, 16> open = MaskFor(brightness);
    for (int y = 0; y < rows.m_nHeight; ++y) {
        PackRow<Reader>(rows.Row(y), rows.m_nWidth, RowMask(open, y), RasterRow(raster, y));
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

// into[i] &= from[i] for count bytes, eight at a time.
void AndInto(std::uint8_t* into, const std::uint8_t* from, std::size_t count) {
    std::size_t i = 0;
    for (; i + 8 <= count; i += 8) {
        std::uint64_t a = 0;
        std::uint64_t b = 0;
        std::memcpy(&a, into + i, 8);
        std::memcpy(&b, from + i, 8);
        a &= b;
        std::memcpy(into + i, &a, 8);
    }
    for (; i < count; ++i) {
        into[i] &= from[i];
    }
}

// Shrinks source to width x height and hands each destination row that some
// source row covers to emit(y, words), as 32-bit words 0x..RRGGBB; rows no
// source row covers stay white and are not handed on. The source rows of one
// destination row are first ANDed byte by byte (each byte is one channel),
// then each run of columns; no picture-sized buffer is made.
template <typename Reader, typename Emit>
void ShrinkEachRow(const CPixelRows& source, int width, int height, Emit&& emit) {
    if (width <= 0 || height <= 0) {
        return;
    }
    const std::size_t rowBytes = static_cast<std::size_t>(source.m_nWidth) * Reader::kBytes;
    const std::vector<int> starts = ColumnStarts(source.m_nWidth, width);
    const std::vector<int> rows = ShrinkMap(source.m_nHeight, height);
    std::vector<std::uint8_t> band(rowBytes);  // the source rows of one destination row, ANDed
    std::vector<std::uint32_t> out(static_cast<std::size_t>(width));
    const auto finish = [&](int y) {
        for (int j = 0; j < width; ++j) {
            std::uint32_t dark = 0xFFFFFFFFu;
            const int end = starts[static_cast<std::size_t>(j) + 1];
            for (int x = starts[static_cast<std::size_t>(j)]; x < end; ++x) {
                dark &= Reader::Word(band.data() + static_cast<std::size_t>(x) * Reader::kBytes);
            }
            out[static_cast<std::size_t>(j)] = dark;
        }
        emit(y, out.data());
    };
    int current = -1;
    for (int y = 0; y < source.m_nHeight; ++y) {
        const int target = rows[static_cast<std::size_t>(y)];
        if (target != current) {
            if (current >= 0) {
                finish(current);
            }
            current = target;
            std::fill(band.begin(), band.end(), std::uint8_t{0xFF});
        }
        AndInto(band.data(), source.Row(y), rowBytes);
    }
    if (current >= 0) {
        finish(current);
    }
}

template <typename Reader>
CRaster ShrinkAndPack(const CPixelRows& source, int width, int height, int brightness) {
    CRaster raster = BlankRaster(width, height);
    const std::array<bool, 16> open = MaskFor(brightness);
    ShrinkEachRow<Reader>(source, width, height, [&](int y, const std::uint32_t* words) {
        PackRow<Rgb32Reader>(reinterpret_cast<const std::uint8_t*>(words), width, RowMask(open, y),
                             RasterRow(raster, y));
    });
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

CBitmap ShrinkBitmap(const CPixelRows& source, int width, int height) {
    CBitmap result(std::max(width, 0), std::max(height, 0), 0xFF);
    WithReader(source.m_Format, [&](auto reader) {
        ShrinkEachRow<decltype(reader)>(
            source, width, height, [&](int y, const std::uint32_t* words) {
                for (int x = 0; x < width; ++x) {
                    std::uint8_t* pixel = result.Pixel(x, y);
                    pixel[0] = static_cast<std::uint8_t>(words[x] >> 16);
                    pixel[1] = static_cast<std::uint8_t>(words[x] >> 8);
                    pixel[2] = static_cast<std::uint8_t>(words[x]);
                }
            });
    });
    return result;
}

bool IsMaskCellOpen(int brightness, int x, int y) {
    // A cell closes when its threshold is below 0.16 x brightness.
    return 100 * kMaskTable[static_cast<std::size_t>(x & 3)][static_cast<std::size_t>(y & 3)] >=
           16 * brightness;
}

CRaster MakeRaster(const CPixelRows& picture, int maxWidth, int brightness) {
    const CImageSize size = ScaledSize(picture.m_nWidth, picture.m_nHeight, maxWidth);
    return WithReader(picture.m_Format, [&](auto reader) {
        using Reader = decltype(reader);
        if (size.m_nWidth == picture.m_nWidth) {
            return PackDots<Reader>(picture, brightness);
        }
        return ShrinkAndPack<Reader>(picture, size.m_nWidth, size.m_nHeight, brightness);
    });
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
