#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace printdeck {

// One block of a key-code printer's NV list reply: 37 72, a status byte, the
// key codes two bytes each, 00.
struct CKeyCodeBlock {
    bool m_bWellFormed = false;  // the host answers ACK only to a well-formed block
    bool m_bMoreFollow = false;  // status 41: another block comes after this one
    std::vector<std::string> m_KeyCodes;
};

// Reads one collected block. Stray bytes before the reply mark are skipped,
// and a lone byte before the closing 00 is no key code; a block without the
// mark is malformed. An empty block ends the list whatever its status.
CKeyCodeBlock ParseKeyCodeBlock(std::span<const std::uint8_t> block);

}  // namespace printdeck
