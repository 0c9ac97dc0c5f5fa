#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace printdeck::test {

// The parts of a BMP file that a test chooses; the headers are derived.
struct BmpLayout {
    int width = 0;
    int height = 0;  // negative for rows stored top first
    int bitsPerPixel = 24;
    int compression = 0;                  // 0 none, 1 RLE8, 2 RLE4, 3 bit fields
    std::vector<std::uint32_t> palette;   // 0xRRGGBB entries
    std::vector<std::uint32_t> masks;     // red, green, blue masks for bit fields
    std::vector<std::uint8_t> pixelData;  // exactly as stored in the file
};

// The bytes of a BMP file with a 40-byte information header.
std::string BmpBytes(const BmpLayout& layout);

void WriteBytes(const std::filesystem::path& path, const std::string& bytes);

}  // namespace printdeck::test
