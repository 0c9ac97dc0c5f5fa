#pragma once

#include <string>

#include "nvimage/Bitmap.h"

namespace printdeck {

// Decodes BMP files of every kind Qt reads (1 to 32 bits per pixel, palettes,
// bit fields, run-length encoding, top-down rows) into a CBitmap. Files of
// other formats are refused even when Qt could read them.
class CQtBmpLoader : public IBitmapLoader {
public:
    bool Load(const std::string& path, CBitmap& bitmap) override;
};

}  // namespace printdeck
