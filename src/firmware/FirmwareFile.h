#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace printdeck {

// Largest firmware file accepted: the file is held in memory whole, and real
// images are a few MiB.
inline constexpr std::size_t kMaxFirmwareBytes = 64u * 1024u * 1024u;

enum class FirmwareFileStatus { Read, CannotRead, TooLarge, Empty };

struct FirmwareFileResult {
    FirmwareFileStatus status = FirmwareFileStatus::CannotRead;
    int error = 0;            // errno of the failed call, for CannotRead
    std::uintmax_t size = 0;  // the file's size, once known
};

// Reads a whole regular file into bytes, opened for reading only. Anything
// that is not a regular file, or that yields fewer bytes than its size,
// cannot be read. An empty file holds no firmware and is refused as Empty.
// bytes is left empty on every failure.
FirmwareFileResult ReadFirmwareFile(const std::string& path, std::vector<std::uint8_t>& bytes,
                                    std::size_t limit = kMaxFirmwareBytes);

}  // namespace printdeck
