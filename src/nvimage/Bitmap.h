#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
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

// Reads an image file into a CBitmap. The core does not decode files itself;
// the owner of the image list plugs in a decoder.
class IBitmapLoader {
public:
    virtual ~IBitmapLoader() = default;
    // True when the file was decoded into a bitmap of at least one pixel;
    // otherwise bitmap is unspecified and fault says why, in a sentence.
    virtual bool Load(const std::string& path, CBitmap& bitmap, std::string& fault) = 0;
};

}  // namespace printdeck
