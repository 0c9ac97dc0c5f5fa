#include "app/PortDiscovery.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "support/TempDir.h"

namespace printdeck {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::Field;

// A device folder and a sysfs tty folder made of plain files and folders.
class PortDiscoveryTest : public ::testing::Test {
protected:
    void AddNode(const std::string& relative) {
        fs::create_directories((m_dev / relative).parent_path());
        std::ofstream(m_dev / relative) << "";
    }
    void AddSysfsDevice(const std::string& name) {
        fs::create_directories(m_sys / name / "device");
    }

    test::TempDir m_dir;
    fs::path m_dev = m_dir / "dev";
    fs::path m_sys = m_dir / "sys";
};

TEST_F(PortDiscoveryTest, UsbPrintersComeInNumericOrderAsDevicePaths) {
    for (const char* node : {"usb/lp10", "usb/lp2", "usb/lp0", "usb/hiddev0"}) {
        AddNode(node);
    }
    const auto printers = DiscoverUsbPrinters(m_dev.string());
    EXPECT_THAT(printers,
                ElementsAre(Field(&DiscoveredPort::portString, (m_dev / "usb/lp0").string()),
                            Field(&DiscoveredPort::portString, (m_dev / "usb/lp2").string()),
                            Field(&DiscoveredPort::portString, (m_dev / "usb/lp10").string())));
    EXPECT_EQ(printers[0].description, "USB01 USB printer");
    EXPECT_EQ(printers[2].description, "USB03 USB printer");
}

TEST_F(PortDiscoveryTest, SerialLinesNeedADeviceBehindThemExceptBluetooth) {
    for (const char* node : {"ttyUSB1", "ttyUSB0", "ttyACM0", "rfcomm0", "ttyS0", "tty0", "null"}) {
        AddNode(node);
    }
    AddSysfsDevice("ttyUSB0");
    AddSysfsDevice("ttyACM0");
    AddSysfsDevice("ttyS0");
    const auto ports = DiscoverSerialPorts(m_dev.string(), m_sys.string());
    EXPECT_THAT(ports, ElementsAre(Field(&DiscoveredPort::portString, "rfcomm0"),
                                   Field(&DiscoveredPort::portString, "ttyACM0"),
                                   Field(&DiscoveredPort::portString, "ttyS0"),
                                   Field(&DiscoveredPort::portString, "ttyUSB0")));
}

TEST_F(PortDiscoveryTest, MissingFoldersFindNothing) {
    EXPECT_TRUE(DiscoverUsbPrinters(m_dev.string()).empty());
    EXPECT_TRUE(DiscoverSerialPorts(m_dev.string(), m_sys.string()).empty());
}

}  // namespace
}  // namespace printdeck
