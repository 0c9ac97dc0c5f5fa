#pragma once

#include <algorithm>
#include <cstddef>
#include <map>
#include <string>
#include <vector>

#include "Bytes.h"

namespace printdeck::vp {

// One stored NV image: a 1-bit raster, rows of ceil(width / 8) bytes.
struct NvGraphic {
    int width = 0;
    int height = 0;
    Bytes raster;
    bool operator==(const NvGraphic&) const = default;
};

struct KeyCodeGraphic {
    std::string keyCode;  // two characters
    NvGraphic graphic;
    bool operator==(const KeyCodeGraphic&) const = default;
};

// Key codes per list reply block when the printer is not told otherwise: a
// block of 4 + 2 x 500 bytes fits the host's 1024-byte buffer.
inline constexpr std::size_t kDefaultNvListBlockCodes = 500;

// The printer's non-volatile image memory. A key-code printer stores images
// under two-character key codes, an indexed printer numbers them in download
// order and replaces all of them with each download.
struct NvMemory {
    std::vector<KeyCodeGraphic> keyCodeGraphics;  // in definition order
    std::vector<NvGraphic> indexedGraphics;       // index 0, 1, ...

    // What the printer did, for tests to check.
    std::map<std::string, int> keyCodePrints;  // prints of stored images per key code
    std::map<int, int> indexPrints;            // prints of stored images per index
    int malformedDownloads = 0;                // definitions or downloads refused
    Bytes listAnswers;                         // host's answer (ACK, CAN) to each list block

    // Key codes per reply block of the list query (at least 1).
    std::size_t listBlockCodes = kDefaultNvListBlockCodes;
    // Test hook: when not empty, the list query is answered with exactly
    // these blocks, each awaiting the host's answer, instead of the list.
    std::vector<Bytes> scriptedListReply;

    std::vector<std::string> KeyCodes() const {
        std::vector<std::string> codes;
        for (const KeyCodeGraphic& stored : keyCodeGraphics) {
            codes.push_back(stored.keyCode);
        }
        return codes;
    }
    const NvGraphic* Find(const std::string& keyCode) const {
        const auto found =
            std::find_if(keyCodeGraphics.begin(), keyCodeGraphics.end(),
                         [&](const KeyCodeGraphic& stored) { return stored.keyCode == keyCode; });
        return found == keyCodeGraphics.end() ? nullptr : &found->graphic;
    }
};

}  // namespace printdeck::vp
