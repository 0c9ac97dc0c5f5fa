#pragma once

#include <map>
#include <string>

#include "nvimage/Bitmap.h"

namespace printdeck::test {

// Serves bitmaps from memory by path; any other path fails to load.
class FakeBitmapLoader : public IBitmapLoader {
public:
    bool Load(const std::string& path, CPicture& picture, std::string& fault) override {
        const auto found = m_Files.find(path);
        if (found == m_Files.end()) {
            fault = "The file cannot be read.";
            return false;
        }
        picture = CPicture(found->second);
        return true;
    }

    std::map<std::string, CBitmap> m_Files;
};

// A bitmap of one colour.
inline CBitmap SolidBitmap(int width, int height, std::uint8_t red, std::uint8_t green,
                           std::uint8_t blue) {
    CBitmap bitmap(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            std::uint8_t* pixel = bitmap.Pixel(x, y);
            pixel[0] = red;
            pixel[1] = green;
            pixel[2] = blue;
        }
    }
    return bitmap;
}

}  // namespace printdeck::test
