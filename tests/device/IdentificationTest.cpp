#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include <gtest/gtest.h>

#include "device/PrinterDevice.h"
#include "support/TempDir.h"
#include "support/VirtualPrinterFixture.h"

namespace printdeck {
namespace {

using namespace std::chrono;
using test::VirtualPrinterTest;

class IdentificationTest : public VirtualPrinterTest {
protected:
    IdentificationTest() {
        Connect(m_device);
        EXPECT_EQ(m_device.m_Port.Open(), 1);
    }

    vp::Bytes Command(std::initializer_list<std::uint8_t> bytes) { return vp::Bytes(bytes); }

    test::IsolatedFiles m_files;
    CPrinterDevice m_device;
};

TEST_F(IdentificationTest, IdentifiesNewFirmwarePrinter) {
    SetModel("_MRQ-T300");
    SetFirmware("_V01.05");
    SetCodePage("_PC850");
    SetMsr('9');

    EXPECT_EQ(m_device.chk_OpenCheck(CheckModel), RC_OK);
    EXPECT_EQ(m_device.chk_OpenCheck(CheckVersion), RC_OK);
    EXPECT_EQ(m_device.chk_OpenCheck(CheckCodePage), RC_OK);
    EXPECT_EQ(m_device.chk_OpenCheck(CheckMsr), RC_OK);

    EXPECT_EQ(m_device.g_Model, 300);
    EXPECT_EQ(m_device.m_strModelName, "MRQ-T300");
    EXPECT_EQ(m_device.g_Getver, 101050);
    EXPECT_EQ(m_device.m_strVersion, "V01.05");
    EXPECT_EQ(m_device.m_strCodePage, "_PC850");
    EXPECT_EQ(m_device.m_nMsrSetting, '9');
    EXPECT_EQ(m_device.m_Port.m_bOpen, 1);
    ASSERT_TRUE(WaitForReceived(12));
    EXPECT_EQ(Received(),
              Command({0x1D, 0x49, 0x43, 0x1D, 0x49, 0x41, 0x1D, 0x49, 0x45, 0x1B, 0x4D, 0x49}));
}

TEST_F(IdentificationTest, UnknownModelIsNotSupportedAndClosesPort) {
    SetModel("_MRQ-X200");
    EXPECT_EQ(m_device.chk_OpenCheck(CheckModel), RC_NOT_SUPPORTED);
    EXPECT_EQ(m_device.g_Model, 0);
    EXPECT_EQ(m_device.m_Port.m_bOpen, 0);
    EXPECT_EQ(m_device.chk_OpenCheck(CheckVersion), RC_PORT_CLOSED);
}

TEST_F(IdentificationTest, ReplyInPiecesIsJoined) {
    SetModel("_MRQ-T300");
    SetFault("pieces=150");
    EXPECT_EQ(m_device.chk_OpenCheck(CheckModel), RC_OK);
    EXPECT_EQ(m_device.g_Model, 300);
}

TEST_F(IdentificationTest, SilentPrinterGivesNoReplyAfterTheTimeLimit) {
    SetFault("silent");
    auto start = steady_clock::now();
    EXPECT_EQ(m_device.chk_OpenCheck(CheckModel), RC_NO_REPLY);
    auto elapsed = duration_cast<milliseconds>(steady_clock::now() - start).count();
    EXPECT_GE(elapsed, 3000);
    EXPECT_LT(elapsed, 6000);
    EXPECT_EQ(m_device.m_Port.m_bOpen, 0);
}

TEST_F(IdentificationTest, SilentCodePageFallsBackToPc437) {
    SetCodePage(std::nullopt);
    EXPECT_EQ(m_device.chk_OpenCheck(CheckCodePage), RC_OK);
    EXPECT_EQ(m_device.m_strCodePage, "_PC437");
    EXPECT_EQ(m_device.m_Port.m_bOpen, 1);
}

TEST_F(IdentificationTest, UnterminatedReplyIsUsedAfterTheTimeLimit) {
    SetModel("_MRQ-T200W");
    SetFault("no-terminator");
    EXPECT_EQ(m_device.chk_OpenCheck(CheckModel), RC_OK);
    EXPECT_EQ(m_device.g_Model, 201);
}

TEST_F(IdentificationTest, OverlongReplyIsBoundedByTheBuffer) {
    SetFirmware(std::string("_V01.05") + std::string(200, 'x'));
    SetModel("_MRQ-T300");
    ASSERT_EQ(m_device.chk_OpenCheck(CheckModel), RC_OK);
    EXPECT_EQ(m_device.chk_OpenCheck(CheckVersion), RC_OK);
    EXPECT_EQ(m_device.g_Getver, 101050);
    EXPECT_EQ(m_device.m_strVersion.size(), 38u);
}

TEST_F(IdentificationTest, ModeOutsideRangeSendsNothing) {
    EXPECT_EQ(m_device.chk_OpenCheck(7), RC_OK);
    EXPECT_EQ(m_device.m_Port.m_bOpen, 1);
    m_device.m_Port.Close();
    EXPECT_EQ(m_device.chk_OpenCheck(7), RC_PORT_CLOSED);
    EXPECT_EQ(m_device.chk_OpenCheck(CheckModel), RC_PORT_CLOSED);
    EXPECT_TRUE(Received().empty());
}

TEST_F(IdentificationTest, WriteToVanishedPrinterFailsAndCloses) {
    SetFault("close-after=1");
    // The printer hangs up on the first byte; later writes come up short.
    int result = RC_OK;
    for (int i = 0; i < 20 && result == RC_OK; ++i) {
        result = m_device.chk_OpenCheck(CheckCodePage);
    }
    EXPECT_EQ(result, RC_WRITE_FAILED);
    EXPECT_EQ(m_device.m_Port.m_bOpen, 0);
}

// A peer that answers the first command it receives with fixed bytes, for
// card-reader replies no well-behaved printer gives.
class ScriptedPeer {
public:
    explicit ScriptedPeer(vp::Bytes reply) : m_reply(std::move(reply)) {
        m_listener = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof address);
        ::listen(m_listener, 1);
        socklen_t length = sizeof address;
        ::getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &length);
        m_port = ntohs(address.sin_port);
        m_thread = std::thread([this] { Serve(); });
    }
    ~ScriptedPeer() {
        ::shutdown(m_listener, SHUT_RDWR);
        m_thread.join();
        ::close(m_listener);
    }
    std::uint16_t Port() const { return m_port; }

private:
    void Serve() {
        int connection = ::accept(m_listener, nullptr, nullptr);
        if (connection < 0) {
            return;
        }
        std::uint8_t command[3];
        if (::recv(connection, command, sizeof command, MSG_WAITALL) == 3) {
            ::send(connection, m_reply.data(), m_reply.size(), MSG_NOSIGNAL);
        }
        std::uint8_t rest[64];
        while (::recv(connection, rest, sizeof rest, 0) > 0) {
        }
        ::close(connection);
    }

    vp::Bytes m_reply;
    int m_listener = -1;
    std::uint16_t m_port = 0;
    std::thread m_thread;
};

struct MsrCase {
    const char* name;
    vp::Bytes reply;
    int result;
};

class MsrReplyTest : public ::testing::TestWithParam<MsrCase> {};

TEST_P(MsrReplyTest, ChecksEveryByteOfTheReply) {
    test::IsolatedFiles files;
    ScriptedPeer peer(GetParam().reply);
    CPrinterDevice device;
    device.m_strPortName = "NET127.0.0.1";
    device.m_nBaudRate = peer.Port();
    device.ApplyPortSettings();
    ASSERT_EQ(device.m_Port.Open(), 1);

    EXPECT_EQ(device.chk_OpenCheck(CheckMsr), GetParam().result);
    if (GetParam().result == RC_OK) {
        EXPECT_EQ(device.m_nMsrSetting, '1');
        EXPECT_EQ(device.m_Port.m_bOpen, 1);
    } else {
        EXPECT_EQ(device.m_Port.m_bOpen, 0);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Replies, MsrReplyTest,
    ::testing::Values(MsrCase{"Valid", {0x37, 0x80, 0x31, 0x00}, RC_OK},
                      MsrCase{"WrongFirstByte", {0x38, 0x80, 0x31, 0x00}, RC_BAD_REPLY},
                      MsrCase{"WrongType", {0x37, 0x81, 0x31, 0x00}, RC_BAD_REPLY},
                      MsrCase{"TooShort", {0x37, 0x80, 0x00}, RC_NO_REPLY},
                      // No closing zero: reads on until the time limit.
                      MsrCase{"Unterminated", {0x37, 0x80, 0x31, 0x01}, RC_NO_REPLY}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace printdeck
