#include "BenchFiles.h"

#include <cstdlib>
#include <fstream>
#include <stdexcept>

namespace printdeck::bench {

ScratchDir::ScratchDir() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "printdeck-bench-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("cannot create a scratch folder in " + pattern);
    }
    m_path = pattern;
}

ScratchDir::~ScratchDir() {
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
}

void WriteBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    if (!file) {
        throw std::runtime_error("cannot write " + path.string());
    }
}

std::vector<std::uint8_t> NoiseBytes(std::size_t size) {
    std::vector<std::uint8_t> bytes(size);
    std::uint32_t state = 0x12345678u;
    for (std::uint8_t& byte : bytes) {
        state = state * 1664525u + 1013904223u;
        byte = static_cast<std::uint8_t>(state >> 24);
    }
    return bytes;
}

namespace {

void PutLittleEndian(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    }
}

}  // namespace

std::vector<std::uint8_t> BandedBmp(int width, int height) {
    const std::uint32_t rowBytes = (static_cast<std::uint32_t>(width) * 3 + 3) & ~3u;
    const std::uint32_t pixelBytes = rowBytes * static_cast<std::uint32_t>(height);
    std::vector<std::uint8_t> bmp{'B', 'M'};
    PutLittleEndian(bmp, 54 + pixelBytes, 4);
    PutLittleEndian(bmp, 0, 4);
    PutLittleEndian(bmp, 54, 4);
    PutLittleEndian(bmp, 40, 4);
    PutLittleEndian(bmp, static_cast<std::uint32_t>(width), 4);
    PutLittleEndian(bmp, static_cast<std::uint32_t>(height), 4);
    PutLittleEndian(bmp, 1, 2);
    PutLittleEndian(bmp, 24, 2);
    PutLittleEndian(bmp, 0, 4);
    PutLittleEndian(bmp, pixelBytes, 4);
    PutLittleEndian(bmp, 2835, 4);
    PutLittleEndian(bmp, 2835, 4);
    PutLittleEndian(bmp, 0, 4);
    PutLittleEndian(bmp, 0, 4);
    for (int y = 0; y < height; ++y) {
        std::uint32_t written = 0;
        for (int x = 0; x < width; ++x, written += 3) {
            const auto band = static_cast<std::uint8_t>(((x + y) / 16) % 2 == 0 ? 0x20 : 0xF0);
            bmp.insert(bmp.end(),
                       {band, static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y)});
        }
        bmp.insert(bmp.end(), rowBytes - written, 0);
    }
    return bmp;
}

}  // namespace printdeck::bench
