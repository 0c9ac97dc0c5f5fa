#include "transport/PortName.h"

#include <algorithm>
#include <cctype>
#include <optional>

namespace printdeck {

namespace {

constexpr std::size_t kPrefixLength = 3;
// Keeps the number far from overflow; no machine has a million ports.
constexpr std::size_t kMaxAliasDigits = 6;

// n of an alias such as COMn or LPTn, when the rest is a number from 1.
std::optional<unsigned> AliasNumber(const std::string& name, const std::string& prefix) {
    if (name.rfind(prefix, 0) != 0) {
        return std::nullopt;
    }
    const std::string digits = name.substr(prefix.size());
    if (digits.empty() || digits.size() > kMaxAliasDigits ||
        !std::all_of(digits.begin(), digits.end(),
                     [](unsigned char c) { return std::isdigit(c) != 0; })) {
        return std::nullopt;
    }
    const unsigned number = static_cast<unsigned>(std::stoul(digits));
    return number >= 1 ? std::optional<unsigned>(number) : std::nullopt;
}

// "/dev/<node>(n-1)" for the alias prefix + n, else the name under /dev.
std::string NodeUnderDev(const std::string& name, const std::string& aliasPrefix,
                         const std::string& node) {
    if (const auto number = AliasNumber(name, aliasPrefix)) {
        return "/dev/" + node + std::to_string(*number - 1);
    }
    return "/dev/" + name;
}

}  // namespace

std::string PortTarget(PortKind kind, const std::string& portString) {
    switch (kind) {
        case PortKind::Parallel:
            return NodeUnderDev(portString, "LPT", "lp");
        case PortKind::Network:
            return portString.substr(kPrefixLength);
        case PortKind::DevicePath:
            return portString;
        case PortKind::Serial:
            break;
    }
    return NodeUnderDev(portString, "COM", "ttyS");
}

}  // namespace printdeck
