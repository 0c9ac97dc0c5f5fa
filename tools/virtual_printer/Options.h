#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "Fault.h"
#include "Identity.h"
#include "NvMemory.h"

namespace printdeck::vp {

inline constexpr std::uint16_t kDefaultPort = 9100;

struct ListenAddress {
    std::string host = "127.0.0.1";  // dotted IPv4
    std::uint16_t port = kDefaultPort;
    bool operator==(const ListenAddress&) const = default;
};

struct PrinterOptions {
    ListenAddress listen;
    bool allowRemote = false;  // listen on an address other than loopback
    Identity identity;
    Fault fault;
    std::string recordPath;  // empty: no record file
    // Non-empty: every connection is taken in raw, as firmware, into this file.
    std::string firmwarePath;
    // Key codes per reply block of the NV image list query.
    std::size_t nvListBlockCodes = kDefaultNvListBlockCodes;
    // A command that stays incomplete this long without a new byte is dropped.
    std::chrono::milliseconds partialTimeout{1000};
};

// "HOST:PORT" with a dotted IPv4 host (or "localhost") and a port 0..65535.
std::optional<ListenAddress> ParseListenAddress(std::string_view text);
bool IsLoopback(const std::string& host);
// Why the options may not listen where they say: a non-loopback address
// without allowRemote. Empty when they may.
std::string ListenRefusal(const PrinterOptions& options);
// One character stands for itself ("9" is 0x39); longer text is a number,
// decimal or 0x-hexadecimal, 0..255 ("57", "0x39").
std::optional<std::uint8_t> ParseByteSetting(std::string_view text);

}  // namespace printdeck::vp
