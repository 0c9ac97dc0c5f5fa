#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace printdeck::bench {

// A fresh folder under the system's temporary folder, removed with its
// contents when the object goes.
class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    std::filesystem::path operator/(const std::string& name) const { return m_path / name; }

private:
    std::filesystem::path m_path;
};

void WriteBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes);
// The same pseudo-random bytes on every run.
std::vector<std::uint8_t> NoiseBytes(std::size_t size);

// A 24-bit BMP of diagonal colour bands, so that about half the dots print.
std::vector<std::uint8_t> BandedBmp(int width, int height);

}  // namespace printdeck::bench
