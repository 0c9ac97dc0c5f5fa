#include "app/PortDiscovery.h"

#include <fcntl.h>
#include <linux/serial.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <regex>

namespace printdeck {
namespace {

namespace fs = std::filesystem;

// Names in a folder that match a pattern of a prefix and a number, ordered by
// prefix and then numerically (lp2 before lp10).
std::vector<std::string> NumberedNames(const fs::path& folder, const std::regex& pattern) {
    std::vector<std::pair<std::string, long>> found;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder, error)) {
        std::string name = entry.path().filename().string();
        std::smatch match;
        if (std::regex_match(name, match, pattern)) {
            found.emplace_back(name, std::stol(match[2].str()));
        }
    }
    std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) {
        std::string prefixA = a.first.substr(0, a.first.find_first_of("0123456789"));
        std::string prefixB = b.first.substr(0, b.first.find_first_of("0123456789"));
        return prefixA != prefixB ? prefixA < prefixB : a.second < b.second;
    });
    std::vector<std::string> names;
    for (auto& [name, number] : found) {
        names.push_back(name);
    }
    return names;
}

bool OpensForReadWrite(const fs::path& path) {
    int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    ::close(fd);
    return true;
}

// Built-in UART names exist whether or not a UART is fitted: the driver
// reports an unknown port type for the empty ones. A line that cannot be
// opened (no dialout membership) is offered anyway.
bool HasSerialDevice(const fs::path& deviceRoot, const fs::path& sysfsTtyRoot,
                     const std::string& name) {
    std::error_code error;
    if (!fs::exists(sysfsTtyRoot / name / "device", error)) {
        return false;
    }
    if (name.rfind("ttyS", 0) != 0) {
        return true;
    }
    int fd = ::open((deviceRoot / name).c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return true;
    }
    serial_struct info{};
    bool fitted = ::ioctl(fd, TIOCGSERIAL, &info) != 0 || info.type != PORT_UNKNOWN;
    ::close(fd);
    return fitted;
}

}  // namespace

std::vector<std::string> ListUsbPrinterNodes(const std::string& deviceRoot) {
    std::vector<std::string> nodes;
    fs::path folder = fs::path(deviceRoot) / "usb";
    for (const std::string& name : NumberedNames(folder, std::regex("(lp)([0-9]+)"))) {
        nodes.push_back((folder / name).string());
    }
    return nodes;
}

std::vector<DiscoveredPort> DiscoverUsbPrinters(const std::string& deviceRoot) {
    std::vector<DiscoveredPort> printers;
    for (const std::string& path : ListUsbPrinterNodes(deviceRoot)) {
        if (OpensForReadWrite(path)) {
            char label[32];
            std::snprintf(label, sizeof label, "USB%02zu", printers.size() + 1);
            printers.push_back({path, std::string(label) + " USB printer"});
        }
    }
    return printers;
}

std::vector<DiscoveredPort> DiscoverSerialPorts(const std::string& deviceRoot,
                                                const std::string& sysfsTtyRoot) {
    static const std::regex pattern("(ttyUSB|ttyACM|rfcomm|ttyS|ttyAMA)([0-9]+)");
    static const std::vector<std::pair<std::string, std::string>> kinds = {
        {"ttyUSB", "USB serial adapter"},
        {"ttyACM", "USB CDC serial device"},
        {"rfcomm", "Bluetooth serial link"},
        {"ttyS", "built-in serial port"},
        {"ttyAMA", "built-in serial port"}};
    std::vector<DiscoveredPort> ports;
    for (const std::string& name : NumberedNames(deviceRoot, pattern)) {
        bool bluetooth = name.rfind("rfcomm", 0) == 0;
        if (!bluetooth && !HasSerialDevice(deviceRoot, sysfsTtyRoot, name)) {
            continue;
        }
        for (const auto& [prefix, description] : kinds) {
            if (name.rfind(prefix, 0) == 0) {
                ports.push_back({name, description});
                break;
            }
        }
    }
    return ports;
}

}  // namespace printdeck
