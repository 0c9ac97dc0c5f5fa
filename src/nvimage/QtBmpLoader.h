#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "nvimage/Bitmap.h"

namespace printdeck {

// Decodes BMP files of every kind Qt reads (1 to 32 bits per pixel, palettes,
// bit fields, run-length encoding, top-down rows) into a picture whose rows
// are Qt's own. Files of
// other formats are refused even when Qt could read them, and so are damaged
// files and pictures over kMaxBmpPixels, each with the reason.
class CQtBmpLoader : public IBitmapLoader {
public:
    bool Load(const std::string& path, CPicture& picture, std::string& fault) override;
    // The same for the bytes of a file.
    static bool LoadBytes(std::span<const std::uint8_t> file, CPicture& picture,
                          std::string& fault);
};

}  // namespace printdeck
