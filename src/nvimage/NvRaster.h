#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "nvimage/Bitmap.h"

namespace printdeck {

// Widest image, in dots, that an indexed-family printer takes.
inline constexpr int kIndexedMaxWidth = 384;
// Largest raster of one key-code record: its parameter count is 16 bits wide
// and covers 11 header bytes besides the raster.
inline constexpr std::size_t kMaxKeyCodeRaster = 65524;

// Widest image, in dots, that a key-code printer of this model code takes.
int KeyCodeMaxWidth(int model);

// 1 when the colour prints, 0 when it counts as white paper.
int IsDarkPixel(std::uint8_t red, std::uint8_t green, std::uint8_t blue);

struct CImageSize {
    int m_nWidth = 0;
    int m_nHeight = 0;
};

// Size of an image fitted to maxWidth in proportion, truncating; an image no
// wider than maxWidth keeps its size.
CImageSize ScaledSize(int width, int height, int maxWidth);

// Shrinks source to width x height (neither above the source's) so that each
// destination pixel is the per-channel AND of the source pixels it covers:
// dark detail survives.
CBitmap ShrinkBitmap(const CPixelRows& source, int width, int height);

// True when a dark pixel at (x, y) prints at this brightness (0 darkest,
// 100 lightest): lighter settings close more cells of a 4 x 4 dither table.
bool IsMaskCellOpen(int brightness, int x, int y);

// 1-bit image: rows from the top, each BytesPerRow() bytes, the leftmost dot
// in the most significant bit, 1 = printed dot, unused low bits 0.
struct CRaster {
    int m_nWidth = 0;
    int m_nHeight = 0;
    std::vector<std::uint8_t> m_Bytes;

    int BytesPerRow() const { return (m_nWidth + 7) / 8; }
};

// Fits the picture to maxWidth, applies the brightness and packs the dots,
// reading its rows in place in their own pixel format.
CRaster MakeRaster(const CPixelRows& picture, int maxWidth, int brightness);

// Frames the raster as a define-NV-graphics command under the key code
// kc1 kc2. RC_OK, or RC_NV_IMAGE_TOO_LARGE when the raster exceeds
// kMaxKeyCodeRaster; record is left unchanged then.
int FrameKeyCodeRecord(const CRaster& raster, char kc1, char kc2,
                       std::vector<std::uint8_t>& record);
// Frames the raster as one image block of an indexed download. RC_OK, or
// RC_NV_IMAGE_TOO_LARGE when its height does not fit 16 bits.
int FrameIndexedBlock(const CRaster& raster, std::vector<std::uint8_t>& block);

}  // namespace printdeck
