#include <gtest/gtest.h>
#include <sys/socket.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "Loopback.h"
#include "support/TempDir.h"
#include "transport/PrinterPort.h"

namespace printdeck::test {
namespace {

std::int64_t MsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                                 start)
        .count();
}

class NetworkPortTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(m_listener.Port(), 0);
        m_port.m_strPortName = "NET127.0.0.1";
        m_port.m_nBaudRate = m_listener.Port();
    }

    // Opens the port and takes the printer's end of the connection.
    void Connect() {
        ASSERT_EQ(m_port.Open(), 1);
        EXPECT_EQ(m_port.m_nKind, PortKind::Network);
        m_peer = m_listener.Accept();
        ASSERT_GE(m_peer.Get(), 0);
    }

    std::string Log() const { return ReadWholeFile(m_files.LogPath()); }

    IsolatedFiles m_files;
    LoopbackListener m_listener;
    CPrinterPort m_port;
    UniqueFd m_peer;
};

TEST_F(NetworkPortTest, ExchangesBytesAndLogsThemAsEthernet) {
    // Only the low 16 bits of the rate field name the TCP port.
    m_port.m_nBaudRate = 0x20000u | m_listener.Port();
    Connect();

    const std::uint8_t command[] = {0x1D, 'I', 'A'};
    EXPECT_EQ(m_port.Write(command, 3), 3);
    EXPECT_EQ(ReceiveUpTo(m_peer.Get(), 3), "\x1DIA");

    ASSERT_EQ(::send(m_peer.Get(), "V1.05", 5, 0), 5);
    std::uint8_t reply[32] = {};
    ASSERT_EQ(m_port.Read(reply, sizeof reply, 1000), 5);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(reply), 5), "V1.05");

    const std::string log = Log();
    EXPECT_NE(log.find("[ETH][==>] \x1DIA\r\r\n\r\n"), std::string::npos);
    EXPECT_NE(log.find("[ETH][<==] V1.05\r\r\n\r\r\n\r\n"), std::string::npos);
}

TEST_F(NetworkPortTest, SilentPrinterReadReturnsNothingWithinASecond) {
    Connect();
    std::uint8_t reply[16] = {};
    const auto start = std::chrono::steady_clock::now();

    EXPECT_EQ(m_port.Read(reply, sizeof reply, 1000), 0);

    EXPECT_GE(MsSince(start), 900);
    EXPECT_LT(MsSince(start), 1500);
    const std::string entry = "[ETH][<==] \r\r\n\r\r\n\r\n";
    const std::string log = Log();
    ASSERT_GE(log.size(), entry.size());
    EXPECT_EQ(log.substr(log.size() - entry.size()), entry);
}

// Reply loops poll Read until their time limit; a connection the printer has
// closed must pace them like silence instead of flooding the log.
TEST_F(NetworkPortTest, ReadFromAPrinterThatHungUpWaitsLikeSilence) {
    Connect();
    m_peer.Reset();
    std::uint8_t reply[16] = {};
    const auto start = std::chrono::steady_clock::now();

    EXPECT_EQ(m_port.Read(reply, sizeof reply, 1000), 0);
    EXPECT_EQ(m_port.Read(reply, sizeof reply, 1000), 0);

    EXPECT_GE(MsSince(start), 1800);
    EXPECT_LT(MsSince(start), 3000);
}

TEST_F(NetworkPortTest, VanishedPrinterMakesAShortWriteNotASignal) {
    Connect();
    const linger abort{1, 0};
    ASSERT_EQ(::setsockopt(m_peer.Get(), SOL_SOCKET, SO_LINGER, &abort, sizeof abort), 0);
    m_peer.Reset();

    // The first writes may still be taken before the reset arrives.
    const std::vector<std::uint8_t> block(1024, 'x');
    int result = static_cast<int>(block.size());
    for (int attempt = 0; attempt < 50 && result == static_cast<int>(block.size()); ++attempt) {
        result = m_port.Write(block.data(), static_cast<int>(block.size()));
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    EXPECT_LT(result, static_cast<int>(block.size()));
    EXPECT_GE(result, 0);
    // Writing on to a reset connection is where SIGPIPE would strike.
    EXPECT_EQ(m_port.Write(block.data(), static_cast<int>(block.size())), 0);
}

TEST_F(NetworkPortTest, LargeWriteIsSentWhole) {
    Connect();
    const std::vector<std::uint8_t> block(4 << 20, 0x5A);
    std::size_t received = 0;
    std::thread printer([&] { received = ReceiveUpTo(m_peer.Get(), block.size(), 5000).size(); });

    EXPECT_EQ(m_port.Write(block.data(), static_cast<int>(block.size())),
              static_cast<int>(block.size()));
    printer.join();
    EXPECT_EQ(received, block.size());
}

TEST_F(NetworkPortTest, CloseIsHarmlessRepeatedAndTheDestructorCloses) {
    m_port.Close();
    Connect();
    m_port.Close();
    m_port.Close();
    EXPECT_EQ(m_port.m_bOpen, 0);
    EXPECT_EQ(m_port.m_hSocket, -1);
    std::uint8_t byte = 'x';
    EXPECT_EQ(m_port.Write(&byte, 1), 0);
    EXPECT_EQ(m_port.Read(&byte, 1, 1000), 0);
    EXPECT_EQ(ReceiveUpTo(m_peer.Get(), 1), "");

    {
        CPrinterPort scoped;
        scoped.m_strPortName = m_port.m_strPortName;
        scoped.m_nBaudRate = m_port.m_nBaudRate;
        ASSERT_EQ(scoped.Open(), 1);
        m_peer = m_listener.Accept();
    }
    // End of stream: the destructor closed the connection.
    EXPECT_EQ(ReceiveUpTo(m_peer.Get(), 1), "");
}

TEST(NetworkPortOpen, FailsFastWhenNothingListensOrTheAddressIsBad) {
    IsolatedFiles files;
    std::uint16_t closedPort = 0;
    {
        LoopbackListener gone;
        closedPort = gone.Port();
    }
    const struct {
        std::string name;
        PortFailure failure;
    } rows[] = {
        {"NET127.0.0.1", PortFailure::SystemRefused},
        {"NET", PortFailure::BadPortString},
        {"NET300.1.1.1", PortFailure::BadPortString},
        {"NETlocalhost", PortFailure::BadPortString},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        CPrinterPort port;
        port.m_strPortName = row.name;
        port.m_nBaudRate = closedPort;
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(port.Open(), 0);
        EXPECT_LT(MsSince(start), 1000);
        EXPECT_EQ(port.m_bOpen, 0);
        EXPECT_EQ(port.m_hSocket, -1);
        EXPECT_EQ(port.OpenError().failure, row.failure);
    }
    CPrinterPort port;
    port.m_strPortName = "NET127.0.0.1";
    port.m_nBaudRate = closedPort;
    EXPECT_EQ(port.Open(), 0);
    EXPECT_EQ(port.OpenError().Text(),
              "127.0.0.1:" + std::to_string(closedPort) + ": connection refused");
}

}  // namespace
}  // namespace printdeck::test
