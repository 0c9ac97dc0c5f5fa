#pragma once

#include <string>

#include "nvimage/NvRaster.h"

namespace printdeck {

// Writes the raster as a two-colour PNG, printed dots black; false with the
// reason when the file cannot be written.
bool WriteRasterPng(const CRaster& raster, const std::string& path, std::string& fault);

}  // namespace printdeck
