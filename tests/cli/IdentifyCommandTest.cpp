#include <sys/stat.h>

#include <chrono>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "Cli.h"
#include "CliRun.h"
#include "app/ConfigStore.h"
#include "support/TempDir.h"
#include "support/VirtualPrinterFixture.h"

namespace printdeck::cli {
namespace {

using namespace std::chrono;

class IdentifyCommandTest : public test::VirtualPrinterTest {
protected:
    int Run(std::vector<std::string> args) {
        return test::RunCliWith(test::OnPrinter(*this, args), m_out, m_err);
    }

    test::IsolatedFiles m_files;
    std::ostringstream m_out;
    std::ostringstream m_err;
};

TEST_F(IdentifyCommandTest, PrintsTheFourAnswers) {
    SetModel("_MRQ-T300");
    SetFirmware("_V01.05");
    SetMsr('9');
    ASSERT_EQ(Run({"identify"}), 0) << m_err.str();
    EXPECT_NE(m_out.str().find("Model:        300 (MRQ-T300)"), std::string::npos) << m_out.str();
    EXPECT_NE(m_out.str().find("Firmware:     101050 (V01.05)"), std::string::npos);
    EXPECT_NE(m_out.str().find("Code page:    _PC437"), std::string::npos);
    EXPECT_NE(m_out.str().find("Card reader:  0x39 '9'"), std::string::npos);
}

TEST_F(IdentifyCommandTest, UnknownModelReportsNotSupported) {
    SetModel("_MRQ-X200");
    EXPECT_NE(Run({"identify"}), 0);
    EXPECT_NE(m_err.str().find("Printer model is not matched! (result 107"), std::string::npos)
        << m_err.str();
}

TEST_F(IdentifyCommandTest, SilentPrinterReportsNoReplyAfterAboutThreeSeconds) {
    SetFault("silent");
    auto start = steady_clock::now();
    EXPECT_NE(Run({"identify"}), 0);
    auto elapsed = duration_cast<milliseconds>(steady_clock::now() - start).count();
    EXPECT_NE(m_err.str().find("(result 301"), std::string::npos) << m_err.str();
    EXPECT_NE(m_err.str().find("no reply from NET127.0.0.1 (TCP port " + std::to_string(Port()) +
                               ") within 3 s\n"),
              std::string::npos)
        << m_err.str();
    EXPECT_GE(elapsed, 3000);
    EXPECT_LT(elapsed, 6000);
}

// The settings and NV runs begin with the same questions; their failure
// names the silent port as well.
TEST_F(IdentifyCommandTest, SettingsAndNvRunsNameTheSilentPort) {
    SetFault("silent");
    const std::string silence =
        "no reply from NET127.0.0.1 (TCP port " + std::to_string(Port()) + ") within 3 s\n";
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"settings", "get"}, std::vector<std::string>{"nv", "list"}}) {
        SCOPED_TRACE(args[0]);
        EXPECT_EQ(Run(args), 1);
        EXPECT_NE(m_err.str().find(silence), std::string::npos) << m_err.str();
    }
}

// The system's reason and what to do next.
TEST_F(IdentifyCommandTest, PortThatDoesNotOpenIsReportedWithReasonAndNextStep) {
    const struct {
        std::vector<std::string> args;
        std::string reason;
        std::string nextStep;
    } rows[] = {
        {{"--port", "NET127.0.0.1", "--baud", "1"},
         "127.0.0.1:1: connection refused\n",
         "Is the printer on and is TCP port 1 open?\n"},
        {{"--port", "ttyNONE9"},
         "/dev/ttyNONE9: no such device\n",
         "printdeck-cli ports lists the serial lines and USB printers of this machine.\n"},
    };
    for (const auto& row : rows) {
        std::vector<std::string> args = row.args;
        args.push_back("identify");
        EXPECT_EQ(test::RunCliWith(args, m_out, m_err), 1);
        EXPECT_EQ(m_err.str(), "Port open error!\n" + row.reason + row.nextStep);
    }
}

// Checked before anything is opened; the message lists what is accepted.
TEST_F(IdentifyCommandTest, MalformedPortStringIsAUsageError) {
    const std::vector<std::vector<std::string>> rows = {
        {"--port", "NET10.0.0"},
        {"--port", "NET127.0.0.1", "--baud", std::to_string(65536 + Port())},
        {"--port", ""},
    };
    for (const auto& args : rows) {
        std::vector<std::string> all = args;
        all.push_back("identify");
        EXPECT_EQ(test::RunCliWith(all, m_out, m_err), 2) << args[1];
        EXPECT_NE(m_err.str().find("Bad port string \"" + args[1] + "\": "), std::string::npos)
            << m_err.str();
        EXPECT_NE(m_err.str().find("Port strings: a serial line"), std::string::npos);
    }
    EXPECT_TRUE(Received().empty());

    ASSERT_TRUE(CConfigStore::WriteDwordValue(kProgramKey, "uPortType", 2));
    ASSERT_TRUE(CConfigStore::WriteStringValue(kProgramKey, "uPort", "NET1.2.3"));
    EXPECT_EQ(test::RunCliWith({"identify"}, m_out, m_err), 2);
    EXPECT_NE(m_err.str().find("Bad port string \"NET1.2.3\" (stored by the window)"),
              std::string::npos)
        << m_err.str();
}

// NET…:PORT is a shorthand for --baud; naming two TCP ports is a usage error.
TEST_F(IdentifyCommandTest, NetPortMayCarryItsTcpPort) {
    const std::string port = "NET127.0.0.1:" + std::to_string(Port());
    EXPECT_EQ(test::RunCliWith({"--port", port, "identify"}, m_out, m_err), 0) << m_err.str();
    EXPECT_NE(m_out.str().find("(TCP port " + std::to_string(Port()) + ")"), std::string::npos)
        << m_out.str();

    EXPECT_EQ(test::RunCliWith({"--port", port, "--baud", "9100", "identify"}, m_out, m_err), 2);
    EXPECT_NE(
        m_err.str().find("names TCP port " + std::to_string(Port()) + " but --baud names 9100"),
        std::string::npos)
        << m_err.str();
    EXPECT_EQ(test::RunCliWith({"--port", "NET127.0.0.1:70000", "identify"}, m_out, m_err), 2);
    EXPECT_NE(m_err.str().find("Bad port string \"NET127.0.0.1:70000\""), std::string::npos);
}

// A path given or stored as the port that is no device is never written to.
TEST_F(IdentifyCommandTest, PortThatIsARegularFileIsRefusedUntouched) {
    const std::string path = (m_files.Dir().Path() / "v.txt").string();
    std::ofstream(path) << "keep me";
    EXPECT_EQ(test::RunCliWith({"--port", path, "identify"}, m_out, m_err), 1);
    EXPECT_NE(m_err.str().find(path + ": a regular file, not a printer device"), std::string::npos)
        << m_err.str();

    ASSERT_TRUE(CConfigStore::WriteDwordValue(kProgramKey, "uPortType", 1));
    ASSERT_TRUE(CConfigStore::WriteStringValue(kProgramKey, "uPort", path));
    EXPECT_EQ(test::RunCliWith({"identify"}, m_out, m_err), 1);
    EXPECT_NE(m_err.str().find(path + ": a regular file"), std::string::npos) << m_err.str();
    EXPECT_EQ(test::ReadWholeFile(path), "keep me");
}

TEST_F(IdentifyCommandTest, FifoAsTrafficLogDoesNotBlock) {
    SetModel("_MRQ-T300");
    SetFirmware("_V01.05");
    const std::filesystem::path fifo = m_files.Dir() / "log.fifo";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    test::ScopedEnv log("PRINTDECK_LOG", fifo.string());
    EXPECT_EQ(Run({"identify"}), 0) << m_err.str();
}

// One log entry per Read and Write, with the stamp, the label, the raw bytes
// up to the first zero, and every line feed written as CR LF.
TEST_F(IdentifyCommandTest, TrafficLogHoldsOneEntryPerExchangeByteForByte) {
    SetModel("_MRQ-T300");
    SetFirmware("_V01.05");
    SetMsr('1');
    ASSERT_EQ(Run({"identify"}), 0) << m_err.str();

    const std::string log = test::ReadWholeFile(m_files.LogPath());
    const std::string stamp =
        R"(- \(([0-9]|1[0-9]|2[0-3]):([0-9]|[1-5][0-9]):([0-9]|[1-5][0-9])\)  )";
    const std::string sent = R"(\r\r\n\r\n)";
    const std::string received = R"(\r\r\n\r\r\n\r\n)";
    const std::string expected = stamp + R"(\[ETH\]\[==>\] \x1DIC)" + sent +         //
                                 stamp + R"(\[ETH\]\[<==\] _MRQ-T300)" + received +  //
                                 stamp + R"(\[ETH\]\[==>\] \x1DIA)" + sent +         //
                                 stamp + R"(\[ETH\]\[<==\] _V01\.05)" + received +   //
                                 stamp + R"(\[ETH\]\[==>\] \x1DIE)" + sent +         //
                                 stamp + R"(\[ETH\]\[<==\] _PC437)" + received +     //
                                 stamp + R"(\[ETH\]\[==>\] \x1BMI)" + sent +         //
                                 stamp + R"(\[ETH\]\[<==\] 7\x80)" + "1" + received;
    EXPECT_TRUE(std::regex_match(log, std::regex(expected))) << log;
}

}  // namespace
}  // namespace printdeck::cli
