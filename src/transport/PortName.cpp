#include "transport/PortName.h"

#include <arpa/inet.h>

#include <algorithm>
#include <cctype>
#include <optional>

namespace printdeck {

namespace {

constexpr std::size_t kPrefixLength = 3;
constexpr std::uint32_t kLastTcpPort = 65535;
const std::string kDevFolder = "/dev/";
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

// "/dev/<node>(n-1)" for the alias prefix + n, else the name under /dev; a
// name given with its folder already is taken as it is.
std::string NodeUnderDev(const std::string& name, const std::string& aliasPrefix,
                         const std::string& node) {
    if (const auto number = AliasNumber(name, aliasPrefix)) {
        return kDevFolder + node + std::to_string(*number - 1);
    }
    return name.rfind(kDevFolder, 0) == 0 ? name : kDevFolder + name;
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

std::string PortStringProblem(const std::string& portString, std::uint32_t tcpPort) {
    if (portString.empty()) {
        return "the port string is empty";
    }
    if (CPrinterPort::KindOf(portString) != PortKind::Network) {
        return {};
    }
    in_addr address{};
    if (inet_pton(AF_INET, PortTarget(PortKind::Network, portString).c_str(), &address) != 1) {
        return "NET must be followed by a dotted IPv4 address such as NET192.168.0.10";
    }
    if (tcpPort < 1 || tcpPort > kLastTcpPort) {
        return "TCP port " + std::to_string(tcpPort) + " is outside 1 to 65535";
    }
    return {};
}

}  // namespace printdeck
