#include "app/PortDoctor.h"

#include <gmock/gmock.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "support/TempDir.h"
#include "support/VirtualPrinterFixture.h"

namespace printdeck {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;

// Process ids above the kernel's limit, so no real process is mistaken.
constexpr const char* kEditorPid = "5000000";
constexpr const char* kModemManagerPid = "5000001";
constexpr const char* kRule = "/usr/share/printdeck/70-printdeck.rules";

// A made-up /dev, /proc, /sys and udev database.
class PortDoctorTest : public ::testing::Test {
protected:
    fs::path AddNode(const std::string& relative, fs::perms mode) {
        const fs::path node = m_dev / relative;
        fs::create_directories(node.parent_path());
        std::ofstream(node) << "";
        fs::permissions(node, mode);
        return node;
    }
    void AddProcess(const char* pid, const std::string& name) {
        fs::create_directories(m_proc / pid / "fd");
        std::ofstream(m_proc / pid / "comm") << name << "\n";
    }
    void HoldOpen(const char* pid, const fs::path& node) {
        fs::create_symlink(node, m_proc / pid / "fd" / "3");
    }
    void AddTtyDevice(const std::string& name, const std::string& number) {
        fs::create_directories(m_sys / "class/tty" / name / "device");
        std::ofstream(m_sys / "class/tty" / name / "dev") << number << "\n";
    }
    void WriteFile(const fs::path& path, const std::string& text) {
        fs::create_directories(path.parent_path());
        std::ofstream(path) << text;
    }
    std::vector<DoctorFinding> CheckPort(const std::string& port, const fs::path& node) const {
        return Doctor().CheckDevicePort(port, node.string());
    }
    CPortDoctor Doctor() const {
        return CPortDoctor(
            SystemRoots{m_dev.string(), m_proc.string(), m_sys.string(), m_udev.string()},
            m_identity, kRule);
    }
    static const DoctorFinding& Find(const std::vector<DoctorFinding>& findings,
                                     const std::string& check) {
        for (const DoctorFinding& finding : findings) {
            if (finding.check == check) {
                return finding;
            }
        }
        throw std::runtime_error("no finding of check " + check);
    }

    test::TempDir m_dir;
    fs::path m_dev = m_dir / "dev";
    fs::path m_proc = m_dir / "proc";
    fs::path m_sys = m_dir / "sys";
    fs::path m_udev = m_dir / "udev";
    // Owns none of the nodes and belongs to no group.
    UserIdentity m_identity{::getuid() + 1, {}, {}, false};
};

constexpr fs::perms kUserAndGroup =
    fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read | fs::perms::group_write;

TEST_F(PortDoctorTest, NodeOfAGroupTheUserLacksNamesTheGroupAndTheCommand) {
    const fs::path node = AddNode("ttyUSB0", kUserAndGroup);
    // The dialout group of Debian, where the test may hand the node to it.
    if (::geteuid() == 0) {
        ASSERT_EQ(::chown(node.c_str(), 0, 20), 0);
    }
    struct stat status {};
    ASSERT_EQ(::stat(node.c_str(), &status), 0);
    const group* owner = ::getgrgid(status.st_gid);
    const std::string name = owner->gr_name;
    if (name == "root") {
        GTEST_SKIP() << "the node's group is root here";
    }
    const auto findings = CheckPort("ttyUSB0", node);
    const DoctorFinding& access = Find(findings, "access");
    EXPECT_FALSE(access.ok);
    EXPECT_THAT(access.message, HasSubstr("the group " + name + ", which you are not in"));
    EXPECT_EQ(access.fix, "sudo usermod -aG " + name + " \"$USER\", then log out and in again");
    EXPECT_FALSE(AllFine(findings));

    // Added to the group already: only a new session brings it.
    m_identity.configuredGroups = {status.st_gid};
    const DoctorFinding pending = Find(CheckPort("ttyUSB0", node), "access");
    EXPECT_FALSE(pending.ok);
    EXPECT_THAT(pending.message, HasSubstr("added to the group " + name));
    EXPECT_EQ(pending.fix, "log out and in again");
}

TEST_F(PortDoctorTest, NodeOnlyItsOwnerMayOpenPointsToTheUdevRuleWhereItApplies) {
    const auto ownerOnly = fs::perms::owner_read | fs::perms::owner_write;
    const fs::path printer = AddNode("usb/lp0", ownerOnly);
    const DoctorFinding covered = Find(CheckPort(printer.string(), printer), "access");
    EXPECT_FALSE(covered.ok);
    EXPECT_THAT(covered.fix, HasSubstr(std::string("sudo cp ") + kRule + " /etc/udev/rules.d/"));

    const fs::path uart = AddNode("ttyS0", ownerOnly);
    const DoctorFinding other = Find(CheckPort("ttyS0", uart), "access");
    EXPECT_FALSE(other.ok);
    EXPECT_THAT(other.fix,
                HasSubstr("sudo chgrp dialout " + uart.string() + " && sudo chmod g+rw"));
}

TEST_F(PortDoctorTest, NodeHeldByAnotherProcessNamesIt) {
    const fs::path node = AddNode("ttyUSB0", fs::perms::all);
    AddProcess(kEditorPid, "minicom");
    HoldOpen(kEditorPid, node);
    AddProcess(kModemManagerPid, "bash");
    const DoctorFinding holder = Find(CheckPort("ttyUSB0", node), "holder");
    EXPECT_FALSE(holder.ok);
    EXPECT_THAT(holder.message, HasSubstr("held open by minicom (pid 5000000)"));
    EXPECT_EQ(holder.fix, "quit minicom, or end it: kill 5000000");
}

TEST_F(PortDoctorTest, OpenFreeNodeIsFine) {
    const fs::path node = AddNode("ttyUSB0", fs::perms::all);
    AddProcess(kEditorPid, "minicom");
    const auto findings = CheckPort("ttyUSB0", node);
    EXPECT_TRUE(AllFine(findings));
    EXPECT_EQ(findings.size(), 3u);  // exists, access, holder
}

TEST_F(PortDoctorTest, ModemManagerMustLeaveAcmLinesAlone) {
    struct Case {
        bool running;
        const char* udevData;  // nullptr: udev knows nothing of the line
        bool ok;
    };
    for (const Case& c : {Case{false, nullptr, true}, Case{true, nullptr, false},
                          Case{true, "E:ID_MM_CANDIDATE=1\n", false},
                          Case{true, "S:serial/by-id/x\nE:ID_MM_DEVICE_IGNORE=1\n", true}}) {
        fs::remove_all(m_dir.Path());
        const fs::path node = AddNode("ttyACM0", fs::perms::all);
        AddTtyDevice("ttyACM0", "166:0");
        if (c.running) {
            AddProcess(kModemManagerPid, "ModemManager");
        }
        if (c.udevData) {
            WriteFile(m_udev / "c166:0", c.udevData);
        }
        const DoctorFinding finding = Find(CheckPort("ttyACM0", node), "modemmanager");
        EXPECT_EQ(finding.ok, c.ok) << c.running << " " << (c.udevData ? c.udevData : "-");
        if (!finding.ok) {
            EXPECT_THAT(finding.fix, HasSubstr("udevadm trigger"));
        }
    }
}

TEST_F(PortDoctorTest, MissingOrUnboundBluetoothLineIsBoundWithRfcomm) {
    const auto missing = CheckPort("rfcomm1", m_dev / "rfcomm1");
    ASSERT_EQ(missing.size(), 1u);
    EXPECT_FALSE(missing[0].ok);
    EXPECT_EQ(missing[0].fix, "bind the Bluetooth line: sudo rfcomm bind 1 <printer address>");

    const fs::path node = AddNode("rfcomm1", fs::perms::all);
    EXPECT_FALSE(Find(CheckPort("rfcomm1", node), "driver").ok);
    fs::create_directories(m_sys / "class/tty/rfcomm1");
    EXPECT_TRUE(Find(CheckPort("rfcomm1", node), "driver").ok);
}

TEST_F(PortDoctorTest, UsbPrintersNeedTheUsblpDriver) {
    const fs::path bound = AddNode("usb/lp0", fs::perms::all);
    AddNode("usb/lp1", fs::perms::all);
    fs::create_directories(m_sys / "bus/usb/drivers/usblp");
    fs::create_directories(m_sys / "class/usbmisc/lp0/device");
    fs::create_directory_symlink(m_sys / "bus/usb/drivers/usblp",
                                 m_sys / "class/usbmisc/lp0/device/driver");
    // A printer interface without a driver, and an IPP one usblp never serves.
    for (const auto& [interface, protocol] :
         {std::pair{"1-2:1.0", "02"}, std::pair{"1-3:1.1", "04"}}) {
        WriteFile(m_sys / "bus/usb/devices" / interface / "bInterfaceClass", "07\n");
        WriteFile(m_sys / "bus/usb/devices" / interface / "bInterfaceProtocol",
                  std::string(protocol) + "\n");
    }

    const auto findings = Doctor().CheckAll();
    std::vector<std::string> driverProblems;
    for (const DoctorFinding& finding : findings) {
        if (finding.check == "driver") {
            EXPECT_EQ(finding.ok, finding.port == bound.string()) << finding.port;
            if (!finding.ok) {
                driverProblems.push_back(finding.port + ": " + finding.fix);
            }
        }
    }
    EXPECT_THAT(driverProblems,
                ::testing::UnorderedElementsAre(
                    (m_dev / "usb/lp1").string() +
                        ": unplug the printer and plug it in again; if that does not help: sudo "
                        "modprobe usblp",
                    "USB 1-2:1.0: sudo modprobe usblp"));
}

TEST_F(PortDoctorTest, NoPortAtAllIsAProblem) {
    const auto findings = Doctor().CheckAll();
    ASSERT_EQ(findings.size(), 1u);
    EXPECT_EQ(findings[0].check, "ports");
    EXPECT_FALSE(AllFine(findings));
}

TEST(NetworkPortCheck, AnsweringAddressIsFineAndAClosedPortOrBadAddressIsNot) {
    test::VirtualPrinterRunner printer;
    EXPECT_TRUE(CheckNetworkPort("NET127.0.0.1", "127.0.0.1", printer.Port()).ok);

    // A port that was free a moment ago refuses at once.
    const int probe = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ASSERT_EQ(::bind(probe, reinterpret_cast<sockaddr*>(&address), length), 0);
    ASSERT_EQ(::getsockname(probe, reinterpret_cast<sockaddr*>(&address), &length), 0);
    ::close(probe);
    const DoctorFinding closed =
        CheckNetworkPort("NET127.0.0.1", "127.0.0.1", ntohs(address.sin_port));
    EXPECT_FALSE(closed.ok);
    EXPECT_THAT(closed.message, HasSubstr("does not answer"));

    EXPECT_FALSE(CheckNetworkPort("NET10.0.0", "10.0.0", 9100).ok);
}

}  // namespace
}  // namespace printdeck
