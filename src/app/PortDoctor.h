#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/NodeAccess.h"
#include "app/ProcessTable.h"

namespace printdeck {

// Where the doctor looks, so that tests run it over a made-up tree.
struct SystemRoots {
    std::string dev = "/dev";
    std::string proc = "/proc";
    std::string sys = "/sys";
    std::string udevData = "/run/udev/data";
};

// One thing checked on one port; a problem carries the step that fixes it.
struct DoctorFinding {
    std::string port;
    std::string check;  // exists, driver, access, holder, modemmanager, network, ports
    bool ok = true;
    std::string message;
    std::string fix;
};

bool AllFine(const std::vector<DoctorFinding>& findings);

// Checks the printer ports of this machine: the node, its driver, who may
// open it, who holds it, and whether ModemManager leaves it alone.
class CPortDoctor {
public:
    // `udevRule` is the installed example rule the fixes point to.
    CPortDoctor(SystemRoots roots, UserIdentity identity, std::string udevRule);

    // Every serial line and USB printer found, and USB printers without a driver.
    std::vector<DoctorFinding> CheckAll() const;
    // One port, by the name `--port` takes: a serial name or a device path.
    std::vector<DoctorFinding> CheckDevicePort(const std::string& portString,
                                               const std::string& nodePath) const;

private:
    void CheckDriver(const std::string& port, const std::string& name,
                     std::vector<DoctorFinding>& findings) const;
    DoctorFinding CheckAccess(const std::string& port, const std::string& nodePath) const;
    DoctorFinding CheckHolder(const std::string& port, const std::string& nodePath) const;
    DoctorFinding CheckModemManager(const std::string& port, const std::string& name) const;
    std::vector<DoctorFinding> UnboundUsbPrinters() const;
    std::string EnableRuleCommand() const;

    SystemRoots m_roots;
    UserIdentity m_identity;
    std::string m_udevRule;
    CProcessTable m_processes;
};

// Whether a network printer's address answers on its TCP port within the
// connect time-out.
DoctorFinding CheckNetworkPort(const std::string& portString, const std::string& address,
                               std::uint16_t tcpPort);

}  // namespace printdeck
