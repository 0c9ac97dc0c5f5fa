#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <vector>

#include "FakeSerialLine.h"
#include "support/TempDir.h"
#include "transport/PrinterPort.h"

namespace printdeck::test {
namespace {

using Bytes = std::vector<std::uint8_t>;

std::string Text(const std::uint8_t* bytes, int count) {
    return std::string(reinterpret_cast<const char*>(bytes), static_cast<std::size_t>(count));
}

class SerialPortTest : public ::testing::Test {
protected:
    IsolatedFiles m_files;
    FakeClock m_clock;
    FakeSerialIo m_io{m_clock};
    CPrinterPort m_port{m_clock, m_io};

    void SetUp() override { m_port.m_strPortName = "COM3"; }

    // Opens and forgets what the opening did, so a test sees only its own steps.
    void OpenFresh() {
        ASSERT_EQ(m_port.Open(), 1);
        m_clock.sleeps.clear();
        m_io.writes.clear();
        m_io.flushes.clear();
    }
};

struct RetryCase {
    const char* name;
    int openFailures;
    int expectedOpen;
    std::size_t expectedAttempts;
    std::vector<std::uint32_t> expectedSleeps;
};

class SerialOpenRetryTest : public SerialPortTest,
                            public ::testing::WithParamInterface<RetryCase> {};

TEST_P(SerialOpenRetryTest, TriesThreeTimesWithTwoWaits) {
    const RetryCase& row = GetParam();
    m_io.openFailures = row.openFailures;

    EXPECT_EQ(m_port.Open(), row.expectedOpen);

    EXPECT_EQ(m_io.openedPaths, std::vector<std::string>(row.expectedAttempts, "/dev/ttyS2"));
    EXPECT_EQ(m_clock.sleeps, row.expectedSleeps);
    EXPECT_EQ(m_port.m_bOpen, row.expectedOpen);
    EXPECT_EQ(m_port.m_hDevice, row.expectedOpen == 1 ? FakeSerialIo::kFd : -1);
}

INSTANTIATE_TEST_SUITE_P(Attempts, SerialOpenRetryTest,
                         ::testing::Values(RetryCase{"FirstAttempt", 0, 1, 1, {}},
                                           RetryCase{"ThirdAttempt", 2, 1, 3, {400, 400}},
                                           RetryCase{"NeverOpens", 5, 0, 3, {400, 400}}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(SerialPortTest, OpenClaimsTheLineAndSendsAnUnloggedProbeByte) {
    ASSERT_EQ(m_port.Open(), 1);

    EXPECT_EQ(m_io.openFlags & O_ACCMODE, O_RDWR);
    EXPECT_NE(m_io.openFlags & O_NOCTTY, 0);
    EXPECT_TRUE(m_io.exclusive);
    EXPECT_EQ(m_io.flushes, std::vector<int>{TCIOFLUSH});
    EXPECT_EQ(m_io.writes, std::vector<Bytes>{Bytes{0x00}});
    EXPECT_FALSE(std::filesystem::exists(m_files.LogPath()));
}

struct RefusalCase {
    const char* name;
    std::optional<int> modemStatus;
    bool refuseWrites;
};

class SerialOpenRefusalTest : public SerialPortTest,
                              public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(SerialOpenRefusalTest, FailsAndClosesTheLine) {
    m_io.modemStatus = GetParam().modemStatus;
    m_io.refuseWrites = GetParam().refuseWrites;

    EXPECT_EQ(m_port.Open(), 0);

    EXPECT_EQ(m_io.closed, std::vector<int>{FakeSerialIo::kFd});
    EXPECT_EQ(m_io.flushes, (std::vector<int>{TCIOFLUSH, TCIOFLUSH}));
    EXPECT_EQ(m_clock.sleeps, std::vector<std::uint32_t>{200});
    EXPECT_EQ(m_port.m_bOpen, 0);
    EXPECT_EQ(m_port.m_hDevice, -1);
    m_port.Close();
    EXPECT_EQ(m_io.closed.size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(Printer, SerialOpenRefusalTest,
                         ::testing::Values(RefusalCase{"DsrOff", TIOCM_CTS | TIOCM_CD, false},
                                           RefusalCase{"ModemStatusUnreadable", std::nullopt,
                                                       false},
                                           RefusalCase{"ProbeRefused", TIOCM_DSR, true}),
                         [](const auto& info) { return std::string(info.param.name); });

struct LineCase {
    const char* name;
    std::uint32_t baud;
    std::uint8_t parity;
    std::uint8_t stopBits;
    int flowControl;
    speed_t speed;
    tcflag_t parityFlags;
    bool inputParityCheck;
    bool twoStopBits;
    std::vector<FakeSerialIo::ModemChange> modemChanges;
};

class SerialLineSettingsTest : public SerialPortTest,
                               public ::testing::WithParamInterface<LineCase> {};

TEST_P(SerialLineSettingsTest, SetsRawLineFromPortFields) {
    const LineCase& row = GetParam();
    m_port.m_nBaudRate = row.baud;
    m_port.m_nParity = row.parity;
    m_port.m_nStopBits = row.stopBits;
    m_port.m_nFlowControl = row.flowControl;

    ASSERT_EQ(m_port.Open(), 1);
    ASSERT_TRUE(m_io.lineSettings);
    const termios& line = *m_io.lineSettings;

    EXPECT_EQ(cfgetospeed(&line), row.speed);
    EXPECT_EQ(cfgetispeed(&line), row.speed);
    EXPECT_EQ(line.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_EQ(line.c_cflag & (PARENB | PARODD | CMSPAR), row.parityFlags);
    EXPECT_EQ((line.c_iflag & INPCK) != 0, row.inputParityCheck);
    EXPECT_EQ((line.c_cflag & CSTOPB) != 0, row.twoStopBits);
    EXPECT_EQ((line.c_cflag & CRTSCTS) != 0, row.flowControl == 1);
    EXPECT_EQ(line.c_cflag & (CLOCAL | CREAD), static_cast<tcflag_t>(CLOCAL | CREAD));
    EXPECT_EQ(line.c_iflag & (IXON | IXOFF | ICRNL), 0u);
    EXPECT_EQ(line.c_oflag & OPOST, 0u);
    EXPECT_EQ(line.c_lflag & (ICANON | ECHO | ISIG), 0u);
    EXPECT_EQ(line.c_cc[VMIN], 0);
    EXPECT_EQ(line.c_cc[VTIME], 0);
    ASSERT_EQ(m_io.modemChanges.size(), row.modemChanges.size());
    for (std::size_t i = 0; i < row.modemChanges.size(); ++i) {
        EXPECT_EQ(m_io.modemChanges[i].request, row.modemChanges[i].request);
        EXPECT_EQ(m_io.modemChanges[i].bits, row.modemChanges[i].bits);
    }
}

INSTANTIATE_TEST_SUITE_P(Lines, SerialLineSettingsTest,
                         ::testing::Values(LineCase{"NoParityNoFlow",
                                                    115200,
                                                    0,
                                                    0,
                                                    0,
                                                    B115200,
                                                    0,
                                                    false,
                                                    false,
                                                    {{TIOCMBIC, TIOCM_DTR | TIOCM_RTS}}},
                                           LineCase{"OddTwoStopDtrDsr",
                                                    9600,
                                                    1,
                                                    2,
                                                    1,
                                                    B9600,
                                                    PARENB | PARODD,
                                                    true,
                                                    true,
                                                    {{TIOCMBIS, TIOCM_DTR}, {TIOCMBIC, TIOCM_RTS}}},
                                           LineCase{"EvenUnchecked",
                                                    19200,
                                                    2,
                                                    0,
                                                    0,
                                                    B19200,
                                                    PARENB,
                                                    false,
                                                    false,
                                                    {{TIOCMBIC, TIOCM_DTR | TIOCM_RTS}}}),
                         [](const auto& info) { return std::string(info.param.name); });

struct BadLineCase {
    const char* name;
    std::uint32_t baud;
    std::uint8_t dataBits;
    std::uint8_t parity;
    std::uint8_t stopBits;
};

class SerialBadSettingsTest : public SerialPortTest,
                              public ::testing::WithParamInterface<BadLineCase> {};

TEST_P(SerialBadSettingsTest, RefusesToOpen) {
    m_port.m_nBaudRate = GetParam().baud;
    m_port.m_nDataBits = GetParam().dataBits;
    m_port.m_nParity = GetParam().parity;
    m_port.m_nStopBits = GetParam().stopBits;

    EXPECT_EQ(m_port.Open(), 0);
    EXPECT_FALSE(m_io.lineSettings);
    EXPECT_EQ(m_io.closed, std::vector<int>{FakeSerialIo::kFd});
}

INSTANTIATE_TEST_SUITE_P(Settings, SerialBadSettingsTest,
                         ::testing::Values(BadLineCase{"UnknownBaudRate", 12345, 8, 0, 0},
                                           BadLineCase{"NineDataBits", 9600, 9, 0, 0},
                                           BadLineCase{"UnknownParity", 9600, 8, 5, 0},
                                           BadLineCase{"OneAndAHalfStopBits", 9600, 8, 0, 1}),
                         [](const auto& info) { return std::string(info.param.name); });

struct Arrival {
    std::uint64_t afterMs;
    std::string bytes;
};

struct ReadTimingCase {
    const char* name;
    int capacity;
    std::vector<Arrival> arrivals;
    std::string expected;
    std::uint64_t expectedElapsedMs;
};

class SerialReadTimingTest : public SerialPortTest,
                             public ::testing::WithParamInterface<ReadTimingCase> {};

TEST_P(SerialReadTimingTest, ReturnsOnCountSilenceOrTotalLimit) {
    const ReadTimingCase& row = GetParam();
    OpenFresh();
    for (const Arrival& arrival : row.arrivals) {
        m_io.ArriveAfter(arrival.afterMs, arrival.bytes);
    }
    std::vector<std::uint8_t> buffer(static_cast<std::size_t>(row.capacity));
    const std::uint64_t start = m_clock.now;

    const int got = m_port.Read(buffer.data(), row.capacity, 1000);

    EXPECT_EQ(Text(buffer.data(), got), row.expected);
    EXPECT_EQ(m_clock.now - start, row.expectedElapsedMs);
}

INSTANTIATE_TEST_SUITE_P(
    Timing, SerialReadTimingTest,
    ::testing::Values(
        ReadTimingCase{"NothingWaitsThousandPlusTenPerByte", 4, {}, "", 1040},
        ReadTimingCase{"AllBytesReturnAtOnce", 3, {{200, "ABC"}}, "ABC", 200},
        ReadTimingCase{
            "TenMsSilenceEndsTheRead", 10, {{100, "AB"}, {105, "C"}, {130, "D"}}, "ABC", 115},
        ReadTimingCase{"FirstByteJustInTime", 2, {{1019, "X"}}, "X", 1020},
        ReadTimingCase{"FirstByteTooLate", 2, {{1021, "X"}}, "", 1020},
        ReadTimingCase{
            "TrickleCutByTotalLimit", 100, {{1990, "A"}, {1998, "B"}, {2006, "C"}}, "AB", 2000}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SerialPortTest, WriteCountsOnlyBytesThatLeftTheDriver) {
    OpenFresh();
    const std::uint8_t data[] = {'A', 'B', 'C'};

    EXPECT_EQ(m_port.Write(data, 3), 3);
    EXPECT_EQ(m_io.writes, std::vector<Bytes>{Bytes(data, data + 3)});

    // The printer holds its handshake line: two bytes never leave.
    m_io.outputQueue = 2;
    const std::uint64_t start = m_clock.now;
    EXPECT_EQ(m_port.Write(data, 3), 1);
    EXPECT_EQ(m_clock.now - start, 1000u + 3u * 1000u);
}

// What "no reply from PORT within N s" is measured from: the last bytes sent,
// until a byte comes back or the port closes; the next Open starts afresh.
TEST_F(SerialPortTest, RemembersHowLongTheLastCommandWentUnanswered) {
    OpenFresh();
    const std::uint8_t query[] = {0x1D, 0x49, 0x43};
    std::uint8_t reply[8] = {};

    m_io.ArriveAfter(100, "_X");
    m_port.Write(query, 3);
    m_clock.now += 100;
    ASSERT_EQ(m_port.Read(reply, 2, 1000), 2);
    EXPECT_EQ(m_port.UnansweredMs(), 0u);

    m_port.Write(query, 3);
    m_clock.now += 1500;
    m_port.Write(query, 3);
    m_clock.now += 3000;
    EXPECT_EQ(m_port.UnansweredMs(), 3000u);
    m_port.Close();
    m_clock.now += 60000;
    EXPECT_EQ(m_port.UnansweredMs(), 3000u);

    ASSERT_EQ(m_port.Open(), 1);
    EXPECT_EQ(m_port.UnansweredMs(), 0u);
}

TEST_F(SerialPortTest, CloseReleasesOnceAfterPurgeAndSettle) {
    OpenFresh();

    m_port.Close();
    m_port.Close();

    EXPECT_EQ(m_io.flushes, std::vector<int>{TCIOFLUSH});
    EXPECT_EQ(m_clock.sleeps, std::vector<std::uint32_t>{200});
    EXPECT_EQ(m_io.closed, std::vector<int>{FakeSerialIo::kFd});
    EXPECT_EQ(m_port.m_hDevice, -1);
    std::uint8_t byte = 0;
    EXPECT_EQ(m_port.Write(&byte, 1), 0);
    EXPECT_EQ(m_port.Read(&byte, 1, 1000), 0);
}

TEST_F(SerialPortTest, ReopeningReleasesTheLineFirst) {
    OpenFresh();
    ASSERT_EQ(m_port.Open(), 1);
    EXPECT_EQ(m_io.closed, std::vector<int>{FakeSerialIo::kFd});
}

TEST_F(SerialPortTest, ParallelPortOpensOnceAndSettlesOnClose) {
    m_port.m_strPortName = "LPT2";
    m_io.openFailures = 1;
    EXPECT_EQ(m_port.Open(), 0);
    EXPECT_EQ(m_io.openedPaths, std::vector<std::string>{"/dev/lp1"});
    EXPECT_TRUE(m_clock.sleeps.empty());

    ASSERT_EQ(m_port.Open(), 1);
    m_port.Close();
    EXPECT_EQ(m_clock.sleeps, std::vector<std::uint32_t>{200});
    EXPECT_EQ(m_io.closed, std::vector<int>{FakeSerialIo::kFd});
}

// A pseudo-terminal stands in for the serial line; only the modem signals,
// which a pseudo-terminal lacks, are played.
class PseudoTerminalIo : public CPosixDeviceIo {
public:
    int Control(int fd, unsigned long request, int* argument) override {
        switch (request) {
            case TIOCMGET:
                *argument = TIOCM_DSR | TIOCM_CTS;
                return 0;
            case TIOCMBIS:
            case TIOCMBIC:
                return 0;
            default:
                return CPosixDeviceIo::Control(fd, request, argument);
        }
    }
};

class PseudoTerminalTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_master = posix_openpt(O_RDWR | O_NOCTTY);
        ASSERT_GE(m_master, 0);
        ASSERT_EQ(grantpt(m_master), 0);
        ASSERT_EQ(unlockpt(m_master), 0);
        const std::string slave = ptsname(m_master);
        ASSERT_EQ(slave.rfind("/dev/", 0), 0u);
        m_port.m_strPortName = slave.substr(5);
        if (m_port.m_strPortName.size() > 10) {
            GTEST_SKIP() << "pseudo-terminal name too long for a serial port name";
        }
    }
    void TearDown() override {
        m_port.Close();
        if (m_master >= 0) {
            close(m_master);
        }
    }

    // What the printer side received within a second.
    std::string Received(std::size_t count) {
        std::string bytes;
        pollfd entry{m_master, POLLIN, 0};
        while (bytes.size() < count && poll(&entry, 1, 1000) > 0) {
            char chunk[64];
            const ssize_t got = read(m_master, chunk, sizeof chunk);
            if (got <= 0) {
                break;
            }
            bytes.append(chunk, static_cast<std::size_t>(got));
        }
        return bytes;
    }

    static std::int64_t MsSince(std::chrono::steady_clock::time_point start) {
        return std::chrono::duration_cast<std::chrono::milliseconds>(
                   std::chrono::steady_clock::now() - start)
            .count();
    }

    IsolatedFiles m_files;
    PseudoTerminalIo m_io;
    CPrinterPort m_port{SystemClock(), m_io};
    int m_master = -1;
};

TEST_F(PseudoTerminalTest, ExchangesBytesOverARealTerminal) {
    ASSERT_EQ(m_port.Open(), 1);
    EXPECT_EQ(Received(1), std::string(1, '\0'));

    const std::uint8_t command[] = {0x1D, 'I', 'C'};
    EXPECT_EQ(m_port.Write(command, 3), 3);
    EXPECT_EQ(Received(3), "\x1DIC");

    ASSERT_EQ(write(m_master, "T200", 4), 4);
    std::uint8_t reply[64] = {};
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(Text(reply, m_port.Read(reply, sizeof reply, 1000)), "T200");
    EXPECT_LT(MsSince(start), 500);
}

TEST_F(PseudoTerminalTest, SilentLineReturnsNothingAfterTheTotalLimit) {
    ASSERT_EQ(m_port.Open(), 1);
    std::uint8_t byte = 0;
    const auto start = std::chrono::steady_clock::now();

    EXPECT_EQ(m_port.Read(&byte, 1, 1000), 0);

    EXPECT_GE(MsSince(start), 1000);
    EXPECT_LT(MsSince(start), 1600);
}

}  // namespace
}  // namespace printdeck::test
