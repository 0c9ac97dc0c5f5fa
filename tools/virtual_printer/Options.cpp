#include "Options.h"

#include <arpa/inet.h>

#include <charconv>

namespace printdeck::vp {

namespace {

template <typename T>
std::optional<T> ParseNumber(std::string_view text, int base) {
    T value{};
    const char* end = text.data() + text.size();
    const auto result = std::from_chars(text.data(), end, value, base);
    if (text.empty() || result.ec != std::errc() || result.ptr != end) {
        return std::nullopt;
    }
    return value;
}

std::optional<in_addr> ParseIpv4(const std::string& host) {
    in_addr address{};
    if (inet_pton(AF_INET, host.c_str(), &address) != 1) {
        return std::nullopt;
    }
    return address;
}

}  // namespace

std::optional<ListenAddress> ParseListenAddress(std::string_view text) {
    const auto colon = text.rfind(':');
    if (colon == std::string_view::npos) {
        return std::nullopt;
    }
    std::string host(text.substr(0, colon));
    if (host == "localhost") {
        host = "127.0.0.1";
    }
    const auto port = ParseNumber<std::uint16_t>(text.substr(colon + 1), 10);
    if (!port || !ParseIpv4(host)) {
        return std::nullopt;
    }
    return ListenAddress{host, *port};
}

bool IsLoopback(const std::string& host) {
    const auto address = ParseIpv4(host);
    return address && (ntohl(address->s_addr) >> 24) == 127;
}

std::string ListenRefusal(const PrinterOptions& options) {
    if (IsLoopback(options.listen.host) || options.allowRemote) {
        return {};
    }
    return "refusing to listen on " + options.listen.host +
           ", which is not a loopback address, without allow-remote";
}

std::optional<std::uint8_t> ParseByteSetting(std::string_view text) {
    if (text.size() == 1) {
        return static_cast<std::uint8_t>(text[0]);
    }
    if (text.starts_with("0x") || text.starts_with("0X")) {
        return ParseNumber<std::uint8_t>(text.substr(2), 16);
    }
    return ParseNumber<std::uint8_t>(text, 10);
}

}  // namespace printdeck::vp
