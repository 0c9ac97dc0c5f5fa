#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace printdeck {

// A decoded picture: 24-bit colour, three bytes per pixel in the order red,
// green, blue, rows from the top without padding.
struct CBitmap {
    int m_nWidth = 0;
    int m_nHeight = 0;
    std::vector<std::uint8_t> m_Pixels;

    CBitmap() = default;
    CBitmap(int width, int height, std::uint8_t fill = 0xFF)
        : m_nWidth(width),
          m_nHeight(height),
          m_Pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3, fill) {}

    std::uint8_t* Pixel(int x, int y) { return m_Pixels.data() + Offset(x, y); }
    const std::uint8_t* Pixel(int x, int y) const { return m_Pixels.data() + Offset(x, y); }

private:
    std::size_t Offset(int x, int y) const {
        return (static_cast<std::size_t>(y) * static_cast<std::size_t>(m_nWidth) +
                static_cast<std::size_t>(x)) *
               3;
    }
};

// How a decoder lays out one pixel.
enum class PixelFormat {
    Rgb888,  // three bytes: red, green, blue
    Rgb32,   // one 32-bit word in host order, 0xAARRGGBB; the top byte is ignored
};

struct CRgb {
    std::uint8_t red;
    std::uint8_t green;
    std::uint8_t blue;
};

// A picture's rows where they lie in memory, read in place: rows from the
// top, m_nStride bytes apart, in the decoder's own pixel format.
struct CPixelRows {
    int m_nWidth = 0;
    int m_nHeight = 0;
    PixelFormat m_Format = PixelFormat::Rgb888;
    const std::uint8_t* m_pFirstRow = nullptr;
    std::size_t m_nStride = 0;

    CPixelRows() = default;
    CPixelRows(int width, int height, PixelFormat format, const std::uint8_t* firstRow,
               std::size_t stride)
        : m_nWidth(width),
          m_nHeight(height),
          m_Format(format),
          m_pFirstRow(firstRow),
          m_nStride(stride) {}
    // The rows of a bitmap, valid while it lives unchanged.
    CPixelRows(const CBitmap& bitmap)  // NOLINT(google-explicit-constructor): a view of it
        : CPixelRows(bitmap.m_nWidth, bitmap.m_nHeight, PixelFormat::Rgb888, bitmap.m_Pixels.data(),
                     static_cast<std::size_t>(bitmap.m_nWidth) * 3) {}

    const std::uint8_t* Row(int y) const {
        return m_pFirstRow + static_cast<std::size_t>(y) * m_nStride;
    }
    CRgb At(int x, int y) const {
        const std::uint8_t* row = Row(y);
        if (m_Format == PixelFormat::Rgb888) {
            const std::uint8_t* pixel = row + static_cast<std::size_t>(x) * 3;
            return {pixel[0], pixel[1], pixel[2]};
        }
        std::uint32_t word = 0;
        std::memcpy(&word, row + static_cast<std::size_t>(x) * 4, sizeof word);
        return {static_cast<std::uint8_t>(word >> 16), static_cast<std::uint8_t>(word >> 8),
                static_cast<std::uint8_t>(word)};
    }
};

// A decoded picture: its rows, and whatever keeps the memory under them.
struct CPicture {
    CPixelRows m_Rows;
    std::shared_ptr<const void> m_pKeeper;

    CPicture() = default;
    // Takes the bitmap over and shows its rows.
    explicit CPicture(CBitmap bitmap) {
        auto owned = std::make_shared<const CBitmap>(std::move(bitmap));
        m_Rows = CPixelRows(*owned);
        m_pKeeper = std::move(owned);
    }
};

// Reads an image file. The core does not decode files itself; the owner of
// the image list plugs in a decoder.
class IBitmapLoader {
public:
    virtual ~IBitmapLoader() = default;
    // True when the file was decoded into a picture of at least one pixel;
    // otherwise picture is unspecified and fault says why, in a sentence.
    virtual bool Load(const std::string& path, CPicture& picture, std::string& fault) = 0;
};

}  // namespace printdeck
