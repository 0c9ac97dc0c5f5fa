#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace printdeck {

// Larger pictures are refused before any pixel memory is allocated.
inline constexpr std::uint64_t kMaxBmpPixels = 50'000'000;

// Checks a BMP file's headers and the extent of its pixel data before it is
// decoded, so that no pixel is ever taken from memory the file did not fill:
// the declared size, the pixel data's place in the file, and every run of
// compressed data. Returns why the file is refused, or nullopt when it may be
// decoded.
std::optional<std::string> FindBmpFault(std::span<const std::uint8_t> file);

// The checks that need only the headers (the first kBmpHeadBytes of the
// file, or all of it when shorter) and the file's size: everything but the
// walk through run-length data.
inline constexpr std::size_t kBmpHeadBytes = 14 + 124;
std::optional<std::string> FindBmpHeaderFault(std::span<const std::uint8_t> head,
                                              std::uint64_t fileSize);

// Whether a file whose headers passed the checks holds run-length data,
// which may leave pixels out; the headers suffice.
bool IsRunLengthBmp(std::span<const std::uint8_t> file);

}  // namespace printdeck
