#include "nvimage/NvListReply.h"

#include <algorithm>
#include <optional>

namespace printdeck {

namespace {

constexpr std::uint8_t kReplyMark[] = {0x37, 0x72};
constexpr std::uint8_t kMoreBlocksFollow = 0x41;
// The reply mark must lie within the first bytes of a block.
constexpr std::size_t kReplyMarkSearchLimit = 250;

// Position of the reply mark among the first bytes of the block, when it is
// followed by a status byte.
std::optional<std::size_t> FindReplyMark(std::span<const std::uint8_t> block) {
    if (block.size() < 4) {
        return std::nullopt;
    }
    const std::size_t limit = std::min(block.size(), kReplyMarkSearchLimit);
    for (std::size_t i = 0; i < limit && block[i] != 0x00; ++i) {
        if (block[i] == kReplyMark[0] && i + 2 < block.size() && block[i + 1] == kReplyMark[1]) {
            return i;
        }
    }
    return std::nullopt;
}

}  // namespace

CKeyCodeBlock ParseKeyCodeBlock(std::span<const std::uint8_t> block) {
    CKeyCodeBlock parsed;
    const auto mark = FindReplyMark(block);
    if (!mark) {
        return parsed;
    }
    const std::size_t status = *mark + 2;
    const auto codes = block.subspan(status + 1);
    const auto end = std::ranges::find(codes, 0x00);
    const auto count = static_cast<std::size_t>(end - codes.begin());
    for (std::size_t i = 0; i + 1 < count; i += 2) {
        parsed.m_KeyCodes.push_back({static_cast<char>(codes[i]), static_cast<char>(codes[i + 1])});
    }
    parsed.m_bWellFormed = true;
    parsed.m_bMoreFollow = block[status] == kMoreBlocksFollow && count > 0;
    return parsed;
}

}  // namespace printdeck
