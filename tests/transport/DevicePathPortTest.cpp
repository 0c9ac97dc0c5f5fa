#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <string>

#include "support/TempDir.h"
#include "transport/PrinterPort.h"

namespace printdeck::test {
namespace {

// A named pipe plays the printer node: what the port writes, it reads back.
class DevicePathPortTest : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string node = (m_files.Dir() / "usb-printer-node").string();
        ASSERT_EQ(mkfifo(node.c_str(), 0600), 0);
        m_port.m_strPortName = node;
    }

    IsolatedFiles m_files;
    CPrinterPort m_port;
};

TEST_F(DevicePathPortTest, MovesBytesAndWaitsAboutASecondForSilence) {
    ASSERT_EQ(m_port.Open(), 1);
    EXPECT_EQ(m_port.m_nKind, PortKind::DevicePath);

    const std::uint8_t data[] = {'O', 'K', 0x0A};
    EXPECT_EQ(m_port.Write(data, 3), 3);
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
    m_port.Close();
    m_port.Close();
    EXPECT_EQ(m_port.m_bOpen, 0);
}

}  // namespace
}  // namespace printdeck::test
