#pragma once

#include "nvimage/Bitmap.h"
#include "nvimage/NvRaster.h"

namespace printdeck {

// Size of the preview of a width x height image in a frame frameWidth pixels
// wide: as wide as the frame when the image is at least that wide, otherwise
// its share of the 384-dot paper width; the height in proportion.
CImageSize PreviewSize(int frameWidth, int width, int height);

// The colour preview: the picture scaled to PreviewSize as the download
// scales it (dark detail survives shrinking), each channel lightened by
// brightness x 2.55 and capped at 255.
CBitmap ColourPreview(const CPixelRows& picture, int frameWidth, int brightness);

// The raster at its own size: printed dots black, the rest white.
CBitmap RasterBitmap(const CRaster& raster);

}  // namespace printdeck
