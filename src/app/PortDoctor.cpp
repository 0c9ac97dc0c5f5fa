#include "app/PortDoctor.h"

#include <arpa/inet.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>

#include "app/PortDiscovery.h"
#include "transport/TcpLink.h"

namespace printdeck {
namespace {

namespace fs = std::filesystem;

// sysfs attributes are one short line; more is not an attribute.
constexpr std::size_t kMaxAttribute = 256;
constexpr const char* kPrinterInterfaceClass = "07";
// Unidirectional, bidirectional and IEEE 1284.4: the ones usblp serves.
constexpr std::array<const char*, 3> kUsblpProtocols = {"01", "02", "03"};

// The first line of a sysfs attribute; empty when missing or too long.
std::string ReadAttribute(const fs::path& path) {
    std::ifstream file(path);
    std::array<char, kMaxAttribute + 1> buffer{};
    file.read(buffer.data(), buffer.size());
    const std::string text(buffer.data(), static_cast<std::size_t>(file.gcount()));
    const std::size_t end = text.find('\n');
    return end == std::string::npos && text.size() > kMaxAttribute ? std::string()
                                                                   : text.substr(0, end);
}

std::string DriverOf(const fs::path& device) {
    std::error_code error;
    const fs::path driver = fs::read_symlink(device / "driver", error);
    return error ? std::string() : driver.filename().string();
}

bool StartsWith(const std::string& text, const char* prefix) {
    return text.rfind(prefix, 0) == 0;
}

bool IsUsbPrinter(const std::string& port, const std::string& name) {
    return StartsWith(name, "lp") && port.find("/usb/") != std::string::npos;
}

// The nodes Printdeck's udev rule hands to the user at the seat.
bool RuleCovers(const std::string& port, const std::string& name) {
    return StartsWith(name, "ttyUSB") || StartsWith(name, "ttyACM") || IsUsbPrinter(port, name);
}

DoctorFinding Fine(const std::string& port, const char* check, std::string message) {
    return {port, check, true, std::move(message), {}};
}

DoctorFinding Problem(const std::string& port, const char* check, std::string message,
                      std::string fix) {
    return {port, check, false, std::move(message), std::move(fix)};
}

std::string RfcommNumber(const std::string& name) {
    return name.substr(std::string("rfcomm").size());
}

std::string DescribeHolders(const std::vector<ProcessRef>& holders) {
    std::string text;
    for (const ProcessRef& process : holders) {
        text += (text.empty() ? "" : ", ") + process.name + " (pid " + std::to_string(process.pid) +
                ")";
    }
    return text;
}

}  // namespace

bool AllFine(const std::vector<DoctorFinding>& findings) {
    return std::all_of(findings.begin(), findings.end(),
                       [](const DoctorFinding& finding) { return finding.ok; });
}

CPortDoctor::CPortDoctor(SystemRoots roots, UserIdentity identity, std::string udevRule)
    : m_roots(std::move(roots)),
      m_identity(std::move(identity)),
      m_udevRule(std::move(udevRule)),
      m_processes(m_roots.proc) {}

std::vector<DoctorFinding> CPortDoctor::CheckAll() const {
    std::vector<DoctorFinding> findings;
    const auto serial = DiscoverSerialPorts(m_roots.dev, m_roots.sys + "/class/tty");
    for (const DiscoveredPort& port : serial) {
        const auto more = CheckDevicePort(port.portString, m_roots.dev + "/" + port.portString);
        findings.insert(findings.end(), more.begin(), more.end());
    }
    const auto usb = ListUsbPrinterNodes(m_roots.dev);
    for (const std::string& node : usb) {
        const auto more = CheckDevicePort(node, node);
        findings.insert(findings.end(), more.begin(), more.end());
    }
    const auto unbound = UnboundUsbPrinters();
    findings.insert(findings.end(), unbound.begin(), unbound.end());
    if (findings.empty()) {
        findings.push_back(Problem(
            "", "ports", "no serial line or USB printer found",
            "connect the printer and switch it on; a Bluetooth printer needs a bound line: sudo "
            "rfcomm bind 0 <printer address>"));
    }
    return findings;
}

std::vector<DoctorFinding> CPortDoctor::CheckDevicePort(const std::string& portString,
                                                        const std::string& nodePath) const {
    const std::string name = fs::path(nodePath).filename().string();
    std::error_code error;
    if (!fs::exists(nodePath, error)) {
        return {Problem(portString, "exists", nodePath + " does not exist",
                        StartsWith(name, "rfcomm")
                            ? "bind the Bluetooth line: sudo rfcomm bind " + RfcommNumber(name) +
                                  " <printer address>"
                            : "connect the printer and switch it on; printdeck-cli ports lists "
                              "the ports found")};
    }
    std::vector<DoctorFinding> findings = {Fine(portString, "exists", nodePath + " exists")};
    CheckDriver(portString, name, findings);
    findings.push_back(CheckAccess(portString, nodePath));
    findings.push_back(CheckHolder(portString, nodePath));
    if (StartsWith(name, "ttyACM")) {
        findings.push_back(CheckModemManager(portString, name));
    }
    return findings;
}

void CPortDoctor::CheckDriver(const std::string& port, const std::string& name,
                              std::vector<DoctorFinding>& findings) const {
    if (StartsWith(name, "rfcomm")) {
        std::error_code error;
        findings.push_back(
            fs::exists(fs::path(m_roots.sys) / "class/tty" / name, error)
                ? Fine(port, "driver", name + " is bound to a Bluetooth device")
                : Problem(port, "driver", name + " is not bound to a Bluetooth device",
                          "sudo rfcomm bind " + RfcommNumber(name) + " <printer address>"));
    } else if (IsUsbPrinter(port, name)) {
        findings.push_back(
            DriverOf(fs::path(m_roots.sys) / "class/usbmisc" / name / "device") == "usblp"
                ? Fine(port, "driver", "the usblp driver serves " + name)
                : Problem(port, "driver", "no usblp driver is bound to " + name,
                          "unplug the printer and plug it in again; if that does not help: "
                          "sudo modprobe usblp"));
    }
}

DoctorFinding CPortDoctor::CheckAccess(const std::string& port, const std::string& nodePath) const {
    const NodeAccess access = CheckNodeAccess(nodePath, m_identity);
    if (access.allowed) {
        return Fine(port, "access", "you may read and write " + nodePath);
    }
    if (access.groupMayUse && access.joinedSinceLogin) {
        return Problem(port, "access",
                       "you may not open " + nodePath + " yet: you were added to the group " +
                           access.group + " after this session began",
                       "log out and in again");
    }
    if (access.groupMayUse && access.group != "root") {
        return Problem(
            port, "access",
            "you may not open " + nodePath + ": it belongs to the group " + access.group +
                ", which you are not in",
            "sudo usermod -aG " + access.group + " \"$USER\", then log out and in again");
    }
    const std::string name = fs::path(nodePath).filename().string();
    if (RuleCovers(port, name)) {
        return Problem(port, "access",
                       "you may not open " + nodePath + ": only its owner " + access.owner + " may",
                       EnableRuleCommand());
    }
    const std::string usual = StartsWith(name, "lp") ? "lp" : "dialout";
    return Problem(port, "access",
                   "you may not open " + nodePath + ": only its owner " + access.owner + " may",
                   "sudo chgrp " + usual + " " + nodePath + " && sudo chmod g+rw " + nodePath +
                       ", then join the group: sudo usermod -aG " + usual +
                       " \"$USER\" and log out and in again");
}

DoctorFinding CPortDoctor::CheckHolder(const std::string& port, const std::string& nodePath) const {
    const std::vector<ProcessRef> holders = m_processes.Holding(nodePath);
    if (!holders.empty()) {
        const ProcessRef& first = holders.front();
        return Problem(port, "holder", nodePath + " is held open by " + DescribeHolders(holders),
                       "quit " + first.name + ", or end it: kill " + std::to_string(first.pid));
    }
    return Fine(port, "holder",
                m_processes.SawEveryOpenFile()
                    ? "no other process holds " + nodePath
                    : "none of your other processes holds " + nodePath +
                          " (other users' processes are visible to root only)");
}

DoctorFinding CPortDoctor::CheckModemManager(const std::string& port,
                                             const std::string& name) const {
    if (!m_processes.Runs("ModemManager")) {
        return Fine(port, "modemmanager", "ModemManager is not running");
    }
    const std::string device = ReadAttribute(fs::path(m_roots.sys) / "class/tty" / name / "dev");
    std::ifstream properties(fs::path(m_roots.udevData) / ("c" + device));
    std::string line;
    while (!device.empty() && std::getline(properties, line)) {
        if (line == "E:ID_MM_DEVICE_IGNORE=1") {
            return Fine(port, "modemmanager", "ModemManager runs but leaves " + name + " alone");
        }
    }
    return Problem(
        port, "modemmanager",
        "ModemManager runs and probes " + name + ", which garbles the printer's first exchange",
        EnableRuleCommand() + " (or: sudo systemctl stop ModemManager)");
}

std::vector<DoctorFinding> CPortDoctor::UnboundUsbPrinters() const {
    std::vector<DoctorFinding> findings;
    std::error_code error;
    for (const auto& entry :
         fs::directory_iterator(fs::path(m_roots.sys) / "bus/usb/devices", error)) {
        const std::string interface = entry.path().filename().string();
        const std::string protocol = ReadAttribute(entry.path() / "bInterfaceProtocol");
        if (interface.find(':') == std::string::npos ||
            ReadAttribute(entry.path() / "bInterfaceClass") != kPrinterInterfaceClass ||
            std::find(kUsblpProtocols.begin(), kUsblpProtocols.end(), protocol) ==
                kUsblpProtocols.end()) {
            continue;
        }
        const std::string driver = DriverOf(entry.path());
        const std::string port = "USB " + interface;
        if (driver.empty()) {
            findings.push_back(Problem(
                port, "driver",
                "the USB printer at " + interface + " has no driver, so it has no /dev/usb/lp node",
                "sudo modprobe usblp"));
        } else if (driver != "usblp") {
            findings.push_back(Problem(
                port, "driver",
                "the USB printer at " + interface + " is claimed by " + driver +
                    " instead of usblp, so it has no /dev/usb/lp node",
                "stop the program that claims it (a printing system such as CUPS), then unplug "
                "the printer and plug it in again"));
        }
    }
    return findings;
}

std::string CPortDoctor::EnableRuleCommand() const {
    return "enable Printdeck's udev rule: sudo cp " + m_udevRule +
           " /etc/udev/rules.d/ && sudo udevadm control --reload && sudo udevadm trigger";
}

DoctorFinding CheckNetworkPort(const std::string& portString, const std::string& address,
                               std::uint16_t tcpPort) {
    in_addr parsed{};
    if (::inet_pton(AF_INET, address.c_str(), &parsed) != 1) {
        return Problem(portString, "network", "'" + address + "' is not an IPv4 address",
                       "name the printer by its address, for example --port NET192.168.0.10");
    }
    const std::string where = address + " on TCP port " + std::to_string(tcpPort);
    CTcpLink link(SystemClock());
    PortOpenError error;
    const int fd = link.Connect(address, tcpPort, error);
    if (fd < 0) {
        return Problem(portString, "network",
                       where + " does not answer within " +
                           std::to_string(CTcpLink::kConnectWaitMs / 1000) + " s",
                       "check that the printer is on and in this network, and its address and "
                       "TCP port (--port NETaddress --baud port)");
    }
    link.Close(fd);
    return Fine(portString, "network", where + " answers");
}

}  // namespace printdeck
