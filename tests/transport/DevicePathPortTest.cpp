#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <fstream>
#include <functional>
#include <string>

#include "support/PseudoTerminal.h"
#include "support/TempDir.h"
#include "transport/PrinterPort.h"

namespace printdeck::test {
namespace {

// A pseudo-terminal plays the USB printer node, reached through a link whose
// name is long enough to be a device path.
class DevicePathPortTest : public ::testing::Test {
protected:
    void SetUp() override {
        const std::filesystem::path node = m_files.Dir() / "usb-printer-node";
        std::filesystem::create_symlink(m_printer.SlavePath(), node);
        m_port.m_strPortName = node.string();
    }

    IsolatedFiles m_files;
    PseudoTerminal m_printer;
    CPrinterPort m_port;
};

TEST_F(DevicePathPortTest, MovesBytesAndWaitsAboutASecondForSilence) {
    ASSERT_EQ(m_port.Open(), 1) << m_port.OpenError().Text();
    EXPECT_EQ(m_port.m_nKind, PortKind::DevicePath);

    const std::uint8_t data[] = {'O', 'K', 0x0A};
    EXPECT_EQ(m_port.Write(data, 3), 3);
    EXPECT_EQ(m_printer.ReadFromPort(3), "OK\n");
    m_printer.WriteToPort("OK\n");
    std::uint8_t buffer[16] = {};
    EXPECT_EQ(m_port.Read(buffer, sizeof buffer, 1000), 3);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer), 3), "OK\n");

    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(m_port.Read(buffer, sizeof buffer, 1), 0);
    const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
                             std::chrono::steady_clock::now() - start)
                             .count();
    EXPECT_GE(elapsed, 900);
    EXPECT_LT(elapsed, 1500);

    // Device files log as COM, and a line feed in the data is written as CR LF too.
    const std::string log = ReadWholeFile(m_files.LogPath());
    EXPECT_NE(log.find("[COM][==>] OK\r\n\r\r\n\r\n"), std::string::npos);
    EXPECT_NE(log.find("[COM][<==] OK\r\n\r\r\n\r\r\n\r\n"), std::string::npos);
}

TEST_F(DevicePathPortTest, MissingNodeFailsAndCloseStaysHarmless) {
    m_port.m_strPortName += "-missing";
    EXPECT_EQ(m_port.Open(), 0);
    EXPECT_EQ(m_port.m_hDevice, -1);
    EXPECT_EQ(m_port.OpenError().Text(), m_port.m_strPortName + ": no such device");
    m_port.Close();
    m_port.Close();
    EXPECT_EQ(m_port.m_bOpen, 0);
}

// Whatever is not a character device is refused before it is opened, so a
// command is never written into a file and a FIFO never blocks.
struct NotADeviceCase {
    const char* name;
    std::function<void(const std::filesystem::path&)> make;
    const char* kind;
};

void MakeFile(const std::filesystem::path& path) {
    std::ofstream(path, std::ios::binary) << "precious contents";
}

void MakeSocket(const std::filesystem::path& path) {
    const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
    ASSERT_EQ(bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    close(fd);
}

TEST(DevicePathRefusalTest, RefusesWhatIsNoCharacterDevice) {
    const NotADeviceCase rows[] = {
        {"regular file", MakeFile, "a regular file"},
        {"directory", [](const auto& path) { std::filesystem::create_directory(path); },
         "a directory"},
        {"fifo", [](const auto& path) { ASSERT_EQ(mkfifo(path.c_str(), 0600), 0); },
         "a named pipe (FIFO)"},
        {"socket", MakeSocket, "a socket"},
        {"link to a regular file",
         [](const auto& path) {
             MakeFile(path.string() + "-target");
             std::filesystem::create_symlink(path.string() + "-target", path);
         },
         "a regular file"},
    };
    IsolatedFiles files;
    for (const NotADeviceCase& row : rows) {
        SCOPED_TRACE(row.name);
        const std::filesystem::path node = files.Dir() / (std::string("node-") + row.name);
        row.make(node);
        CPrinterPort port;
        port.m_strPortName = node.string();
        const std::uint8_t command[] = {0x1D, 0x49, 0x43};
        EXPECT_EQ(port.Open(), 0);
        EXPECT_EQ(port.Write(command, 3), 0);
        EXPECT_EQ(port.OpenError().failure, PortFailure::NotADevice);
        EXPECT_EQ(port.OpenError().Text(),
                  node.string() + ": " + row.kind + ", not a printer device");
        if (std::filesystem::is_regular_file(node)) {
            EXPECT_EQ(ReadWholeFile(node), "precious contents");
        }
    }
}

}  // namespace
}  // namespace printdeck::test
