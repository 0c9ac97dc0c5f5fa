#include "nvimage/NvPreview.h"

#include <algorithm>
#include <cstdint>

namespace printdeck {

namespace {

constexpr int kPaperDots = 384;
constexpr double kLightenPerPoint = 2.55;
constexpr int kFullChannel = 255;

// Frames wider than the paper enlarge narrow images: each pixel takes the
// colour of the source pixel it falls on.
CBitmap EnlargeBitmap(const CPixelRows& source, int width, int height) {
    CBitmap result(width, height);
    for (int y = 0; y < height; ++y) {
        const int sourceY =
            static_cast<int>(static_cast<std::int64_t>(y) * source.m_nHeight / height);
        for (int x = 0; x < width; ++x) {
            const int sourceX =
                static_cast<int>(static_cast<std::int64_t>(x) * source.m_nWidth / width);
            const CRgb colour = source.At(sourceX, sourceY);
            std::uint8_t* pixel = result.Pixel(x, y);
            pixel[0] = colour.red;
            pixel[1] = colour.green;
            pixel[2] = colour.blue;
        }
    }
    return result;
}

CBitmap ScaleBitmap(const CPixelRows& source, int width, int height) {
    if (width <= source.m_nWidth && height <= source.m_nHeight) {
        return ShrinkBitmap(source, width, height);
    }
    return EnlargeBitmap(source, width, height);
}

}  // namespace

CImageSize PreviewSize(int frameWidth, int width, int height) {
    CImageSize size;
    if (frameWidth <= 0 || width <= 0 || height <= 0) {
        return size;
    }
    size.m_nWidth =
        width >= frameWidth
            ? frameWidth
            : static_cast<int>(static_cast<std::int64_t>(frameWidth) * width / kPaperDots);
    size.m_nHeight = static_cast<int>(static_cast<std::int64_t>(height) * size.m_nWidth / width);
    return size;
}

CBitmap ColourPreview(const CPixelRows& picture, int frameWidth, int brightness) {
    const CImageSize size = PreviewSize(frameWidth, picture.m_nWidth, picture.m_nHeight);
    if (size.m_nWidth <= 0 || size.m_nHeight <= 0) {
        return {};
    }
    CBitmap preview = ScaleBitmap(picture, size.m_nWidth, size.m_nHeight);
    const double lighten = brightness * kLightenPerPoint;
    for (std::uint8_t& channel : preview.m_Pixels) {
        channel =
            static_cast<std::uint8_t>(std::min(static_cast<int>(channel + lighten), kFullChannel));
    }
    return preview;
}

CBitmap RasterBitmap(const CRaster& raster) {
    CBitmap bitmap(raster.m_nWidth, raster.m_nHeight, 0xFF);
    const auto bytesPerRow = static_cast<std::size_t>(raster.BytesPerRow());
    for (int y = 0; y < raster.m_nHeight; ++y) {
        for (int x = 0; x < raster.m_nWidth; ++x) {
            const std::uint8_t byte = raster.m_Bytes[bytesPerRow * static_cast<std::size_t>(y) +
                                                     static_cast<std::size_t>(x >> 3)];
            if ((byte & (0x80u >> (x & 7))) != 0) {
                std::fill_n(bitmap.Pixel(x, y), 3, std::uint8_t{0});
            }
        }
    }
    return bitmap;
}

}  // namespace printdeck
