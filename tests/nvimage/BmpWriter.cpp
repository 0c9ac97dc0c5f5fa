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

std::string BmpBytes(const BmpSpec& spec) {
    const std::uint32_t offset =
        14 + 40 + static_cast<std::uint32_t>(4 * (spec.masks.size() + spec.palette.size()));
    std::string out = "BM";
    Put32(out, offset + static_cast<std::uint32_t>(spec.pixelData.size()));
    Put32(out, 0);
    Put32(out, offset);
    Put32(out, 40);
    Put32(out, static_cast<std::uint32_t>(spec.width));
    Put32(out, static_cast<std::uint32_t>(spec.height));
    Put16(out, 1);
    Put16(out, static_cast<std::uint32_t>(spec.bitsPerPixel));
    Put32(out, static_cast<std::uint32_t>(spec.compression));
    Put32(out, static_cast<std::uint32_t>(spec.pixelData.size()));
    Put32(out, 2835);
    Put32(out, 2835);
    Put32(out, static_cast<std::uint32_t>(spec.palette.size()));
    Put32(out, 0);
    for (std::uint32_t mask : spec.masks) {
        Put32(out, mask);
    }
    for (std::uint32_t colour : spec.palette) {
        out += static_cast<char>(colour & 0xFF);
        out += static_cast<char>((colour >> 8) & 0xFF);
        out += static_cast<char>((colour >> 16) & 0xFF);
        out += '\0';
    }
    out.append(spec.pixelData.begin(), spec.pixelData.end());
    return out;
}

void WriteBytes(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

}  // namespace printdeck::test
