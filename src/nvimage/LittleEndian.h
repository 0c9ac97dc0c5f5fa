#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace printdeck {

// The unsigned number of `count` (at most 4) bytes at `at`, least significant
// first, as BMP headers and NV commands store them. The caller has checked
// that the bytes are there.
inline std::uint32_t LittleEndian(std::span<const std::uint8_t> bytes, std::size_t at, int count) {
    std::uint32_t value = 0;
    for (int i = count - 1; i >= 0; --i) {
        value = (value << 8) | bytes[at + static_cast<std::size_t>(i)];
    }
    return value;
}

}  // namespace printdeck
