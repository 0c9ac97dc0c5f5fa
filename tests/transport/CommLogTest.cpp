#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>

#include "FakeSerialLine.h"
#include "support/TempDir.h"
#include "transport/CommLog.h"
#include "transport/LogTime.h"
#include "transport/PrinterPort.h"

namespace printdeck::test {
namespace {

std::tm NineFiveFortyTwo() {
    std::tm time{};
    time.tm_hour = 9;
    time.tm_min = 5;
    time.tm_sec = 42;
    return time;
}

const std::string kStamp = "- (9:5:42)  ";

// Pins the log's clock to 09:05:42 UTC for one test.
class PinnedLogTime {
public:
    PinnedLogTime() : m_previous(SetLogTimeSource(&NineFiveFortyTwo)) {}
    ~PinnedLogTime() { SetLogTimeSource(m_previous); }

private:
    UtcTimeSource m_previous;
};

struct ExpansionCase {
    const char* name;
    std::function<void()> write;
    std::string expected;
};

class LogExpansionTest : public ::testing::TestWithParam<ExpansionCase> {
protected:
    IsolatedFiles m_files;
    PinnedLogTime m_time;
};

TEST_P(LogExpansionTest, ExpandsOnlyDecimalFloatAndText) {
    GetParam().write();
    EXPECT_EQ(ReadWholeFile(m_files.LogPath()), kStamp + GetParam().expected + "\r\n");
}

INSTANTIATE_TEST_SUITE_P(
    Formats, LogExpansionTest,
    ::testing::Values(
        ExpansionCase{"Decimal", [] { CCommLog::WriteLogEntry("n=%d", -42); }, "n=-42"},
        ExpansionCase{"TenDigitsFixed", [] { CCommLog::WriteLogEntry("%f", 3.14159265358979); },
                      "3.141592654"},
        ExpansionCase{"TenDigitsExponent", [] { CCommLog::WriteLogEntry("%f", 1.5e20); },
                      "1.5e+20"},
        ExpansionCase{"OtherConversionsDropped", [] { CCommLog::WriteLogEntry("a%xb%%c%d%", 7); },
                      "abc7"},
        ExpansionCase{"TextArgumentTakenLiterally",
                      [] { CCommLog::WriteLogEntry("[%s]", "%d%s%f"); }, "[%d%s%f]"},
        ExpansionCase{"LineFeedsBecomeCrLf", [] { CCommLog::WriteLogEntry("a\nb"); }, "a\r\nb"}),
    [](const auto& info) { return std::string(info.param.name); });

class PortLogTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(m_port.Open(), 1); }

    std::string Log() const { return ReadWholeFile(m_files.LogPath()); }

    IsolatedFiles m_files;
    PinnedLogTime m_time;
    FakeClock m_clock;
    FakeSerialIo m_io{m_clock};
    CPrinterPort m_port{m_clock, m_io};
};

TEST_F(PortLogTest, SentAndReceivedEntriesAreExactBytes) {
    const std::uint8_t command[] = {0x1D, 0x49, 0x43};
    ASSERT_EQ(m_port.Write(command, 3), 3);
    EXPECT_EQ(Log(), kStamp + "[COM][==>] \x1D\x49\x43\r\r\n\r\n");

    m_io.ArriveAfter(5, "T200");
    std::uint8_t reply[8];
    ASSERT_EQ(m_port.Read(reply, sizeof reply, 1000), 4);
    EXPECT_EQ(Log(), kStamp + "[COM][==>] \x1D\x49\x43\r\r\n\r\n" + kStamp +
                         "[COM][<==] T200\r\r\n\r\r\n\r\n");
}

struct DataCase {
    const char* name;
    std::string bytes;
    std::string logged;
};

class PortLogDataTest : public PortLogTest, public ::testing::WithParamInterface<DataCase> {};

TEST_P(PortLogDataTest, WriteLogsDataUpToFirstZeroByte) {
    const std::string& bytes = GetParam().bytes;
    m_port.Write(reinterpret_cast<const std::uint8_t*>(bytes.data()),
                 static_cast<int>(bytes.size()));
    EXPECT_EQ(Log(), kStamp + "[COM][==>] " + GetParam().logged + "\r\r\n\r\n");
}

TEST_P(PortLogDataTest, ReadLogsReceivedDataUpToFirstZeroByte) {
    m_io.ArriveAfter(1, GetParam().bytes);
    // Bytes past those received must not reach the log.
    std::string buffer(32, 'Z');
    m_port.Read(reinterpret_cast<std::uint8_t*>(buffer.data()), static_cast<int>(buffer.size()),
                1000);
    EXPECT_EQ(Log(), kStamp + "[COM][<==] " + GetParam().logged + "\r\r\n\r\r\n\r\n");
}

INSTANTIATE_TEST_SUITE_P(Data, PortLogDataTest,
                         ::testing::Values(DataCase{"Plain", "AB", "AB"},
                                           DataCase{"LeadingZero", std::string("\0AB", 3), ""},
                                           DataCase{"ZeroInside", std::string("A\0B", 3), "A"},
                                           DataCase{"ConversionsLiteral", "%d%s%", "%d%s%"},
                                           DataCase{"Nothing", "", ""}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(PortLogTest, UnwritableLogChangesNoResult) {
    const auto blocker = m_files.Dir() / "not-a-folder";
    std::ofstream(blocker) << "x";
    ScopedEnv log("PRINTDECK_LOG", (blocker / "SbinLog.txt").string());

    const std::uint8_t command[] = {'A', 'B', 'C'};
    EXPECT_EQ(m_port.Write(command, 3), 3);
    m_io.ArriveAfter(1, "OK");
    std::uint8_t reply[4];
    EXPECT_EQ(m_port.Read(reply, sizeof reply, 1000), 2);
}

struct PathCase {
    const char* name;
    std::string printdeckLog;
    std::string stateHome;
    std::string home;
    std::string expected;
};

class LogPathTest : public ::testing::TestWithParam<PathCase> {};

TEST_P(LogPathTest, ChoosesLogFile) {
    const PathCase& row = GetParam();
    ScopedEnv log("PRINTDECK_LOG", row.printdeckLog);
    ScopedEnv state("XDG_STATE_HOME", row.stateHome);
    ScopedEnv home("HOME", row.home);
    EXPECT_EQ(CCommLog::LogFilePath(), row.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Environment, LogPathTest,
    ::testing::Values(
        PathCase{"ExplicitLog", "/tmp/a.txt", "/state", "/home/u", "/tmp/a.txt"},
        PathCase{"StateHome", "", "/state", "/home/u", "/state/printdeck/SbinLog.txt"},
        PathCase{"RelativeStateHomeIgnored", "", "state", "/home/u",
                 "/home/u/.local/state/printdeck/SbinLog.txt"},
        PathCase{"HomeFallback", "", "", "/home/u", "/home/u/.local/state/printdeck/SbinLog.txt"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CommLogFile, CreatesMissingFolderAndAppends) {
    IsolatedFiles files;
    const auto state = files.Dir() / "state";
    ScopedEnv log("PRINTDECK_LOG", "");
    ScopedEnv stateHome("XDG_STATE_HOME", state.string());
    PinnedLogTime time;

    CCommLog::WriteLogEntry("one");
    CCommLog::WriteLogEntry("two");

    EXPECT_EQ(ReadWholeFile(state / "printdeck" / "SbinLog.txt"),
              kStamp + "one\r\n" + kStamp + "two\r\n");
}

TEST(CommLogFile, PortLogsLieBesideTheUsualOneNamedAfterTheirPort) {
    const struct {
        const char* usual;
        const char* port;
        const char* expected;
    } rows[] = {
        {"/v/SbinLog.txt", "NET192.168.0.10:9101", "/v/SbinLog-NET192.168.0.10_9101.txt"},
        {"/v/SbinLog.txt", "ttyUSB0", "/v/SbinLog-ttyUSB0.txt"},
        {"/v/SbinLog.txt", "/dev/usb/lp0", "/v/SbinLog-dev_usb_lp0.txt"},
        {"/v/trace", "../x y", "/v/trace-x_y"},
    };
    for (const auto& row : rows) {
        ScopedEnv log("PRINTDECK_LOG", row.usual);
        EXPECT_EQ(CCommLog::LogFilePathFor(row.port), row.expected) << row.port;
    }
}

TEST(CommLogFile, RedirectTakesOnlyItsOwnThreadsEntries) {
    IsolatedFiles files;
    PinnedLogTime time;
    const auto own = files.Dir() / "own.txt";
    {
        const CCommLog::ThreadRedirect redirect(own.string());
        CCommLog::WriteLogEntry("redirected");
        std::thread([] { CCommLog::WriteLogEntry("other thread"); }).join();
    }
    CCommLog::WriteLogEntry("after");

    EXPECT_EQ(ReadWholeFile(own), kStamp + "redirected\r\n");
    EXPECT_EQ(ReadWholeFile(files.LogPath()), kStamp + "other thread\r\n" + kStamp + "after\r\n");
}

}  // namespace
}  // namespace printdeck::test
