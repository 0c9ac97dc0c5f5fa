#include "BmpWriter.h"

#include <fstream>

namespace printdeck::test {

namespace {

void Put16(std::string& out, std::uint32_t value) {
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>((value >> 8) & 0xFF);
}

void Put32(std::string& out, std::uint32_t value) {
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

}  // namespace

std::string BmpBytes(const BmpLayout& layout) {
    const std::uint32_t offset =
        14 + 40 + static_cast<std::uint32_t>(4 * (layout.masks.size() + layout.palette.size()));
    std::string out = "BM";
    Put32(out, offset + static_cast<std::uint32_t>(layout.pixelData.size()));
    Put32(out, 0);
    Put32(out, offset);
    Put32(out, 40);
    Put32(out, static_cast<std::uint32_t>(layout.width));
    Put32(out, static_cast<std::uint32_t>(layout.height));
    Put16(out, 1);
    Put16(out, static_cast<std::uint32_t>(layout.bitsPerPixel));
    Put32(out, static_cast<std::uint32_t>(layout.compression));
    Put32(out, static_cast<std::uint32_t>(layout.pixelData.size()));
    Put32(out, 2835);
    Put32(out, 2835);
    Put32(out, static_cast<std::uint32_t>(layout.palette.size()));
    Put32(out, 0);
    for (std::uint32_t mask : layout.masks) {
        Put32(out, mask);
    }
    for (std::uint32_t colour : layout.palette) {
        out += static_cast<char>(colour & 0xFF);
        out += static_cast<char>((colour >> 8) & 0xFF);
        out += static_cast<char>((colour >> 16) & 0xFF);
        out += '\0';
    }
    out.append(layout.pixelData.begin(), layout.pixelData.end());
    return out;
}

void WriteBytes(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

}  // namespace printdeck::test
