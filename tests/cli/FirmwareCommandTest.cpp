#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "Cli.h"
#include "CliContext.h"
#include "CliRun.h"
#include "app/ConfigStore.h"
#include "firmware/FirmwareTexts.h"
#include "support/TempDir.h"
#include "support/VirtualPrinterFixture.h"

namespace printdeck::cli {
namespace {

using namespace std::chrono_literals;

class FirmwareCommandTest : public ::testing::Test {
protected:
    FirmwareCommandTest() : m_printer(ReceivingOptions()) {}

    vp::PrinterOptions ReceivingOptions() const {
        vp::PrinterOptions options;
        options.firmwarePath = Received().string();
        return options;
    }
    std::filesystem::path Received() const { return m_files.Dir() / "received.fls"; }

    int Run(std::vector<std::string> args) {
        return test::RunCliWith(std::move(args), m_out, m_err);
    }

    test::IsolatedFiles m_files;
    test::VirtualPrinterRunner m_printer;
    std::ostringstream m_out;
    std::ostringstream m_err;
};

TEST_F(FirmwareCommandTest, SendsTheFileOverTheStoredConnection) {
    ASSERT_TRUE(CConfigStore::WriteDwordValue(kProgramKey, "uPortType", 2));
    ASSERT_TRUE(CConfigStore::WriteStringValue(kProgramKey, "uPort", "NET127.0.0.1"));
    ASSERT_TRUE(CConfigStore::WriteDwordValue(kProgramKey, "uBaudrate", m_printer.Port()));
    const std::string image(9000, '\x5A');
    const auto path = m_files.Dir() / "image.fls";
    std::ofstream(path, std::ios::binary) << image;

    ASSERT_EQ(Run({"firmware", path.string()}), 0) << m_err.str();

    EXPECT_EQ(m_out.str(), "Port:         NET127.0.0.1 (TCP port " +
                               std::to_string(m_printer.Port()) + ")\n" + kFirmwareReady + "\n" +
                               kFirmwareDownloading + "\n" + kFirmwareSuccess + "\n" +
                               kFirmwareFinished + "\n");
    // Not a terminal: one line when the progress starts and one at the end.
    EXPECT_EQ(m_err.str(), "Firmware download : 45 %\nFirmware download : 100 %\n");
    ASSERT_TRUE(m_printer.Firmware().WaitForEndedConnections(1, 3000ms));
    EXPECT_EQ(test::ReadWholeFile(Received()), image);
}

// The pieces the download would write, byte for byte, and nothing sent.
TEST_F(FirmwareCommandTest, DryRunPrintsThePiecesAndSendsNone) {
    std::string image(9000, '\x5A');
    image[4096] = '\x01';
    const auto path = m_files.Dir() / "image.fls";
    std::ofstream(path, std::ios::binary) << image;

    ASSERT_EQ(Run({"--port", "NET127.0.0.1:" + std::to_string(m_printer.Port()), "firmware",
                   path.string(), "--dry-run"}),
              0)
        << m_err.str();

    EXPECT_NE(m_out.str().find("would send 9000 bytes in 3 piece(s):\n"), std::string::npos)
        << m_out.str().substr(0, 200);
    EXPECT_NE(m_out.str().find("5A  firmware piece 1 of 3 (bytes 0 to 4095)\n01 5A"),
              std::string::npos);
    EXPECT_NE(m_out.str().find("  firmware piece 3 of 3 (bytes 8192 to 8999)\n"),
              std::string::npos);
    const vp::Bytes printed = test::DryRunBytes(m_out.str());
    EXPECT_EQ(std::string(printed.begin(), printed.end()), image);
    EXPECT_FALSE(std::filesystem::exists(Received()) && !test::ReadWholeFile(Received()).empty());
}

TEST_F(FirmwareCommandTest, FailuresAreReportedWithTheirMessage) {
    const auto image = m_files.Dir() / "image.fls";
    std::ofstream(image, std::ios::binary) << "firmware";
    const auto missing = (m_files.Dir() / "missing.fls").string();
    const auto empty = (m_files.Dir() / "empty.fls").string();
    std::ofstream(empty, std::ios::binary).close();
    struct Row {
        const char* name;
        std::vector<std::string> args;
        std::vector<std::string> errorParts;
    } rows[] = {
        {"missing file",
         {"--port", "NET127.0.0.1", "--baud", std::to_string(m_printer.Port()), "firmware",
          missing},
         {kFirmwareFileOpenError, missing + ": No such file or directory"}},
        {"empty file",
         {"--port", "NET127.0.0.1", "--baud", std::to_string(m_printer.Port()), "firmware", empty},
         {kFirmwareFileEmpty, empty + ": the file is empty"}},
        {"port that does not open",
         {"--port", "NET127.0.0.1", "--baud", "1", "firmware", image.string()},
         {kFirmwareOpenPortError}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        m_err.str("");
        m_out.str("");
        EXPECT_EQ(Run(row.args), kExitFailure);
        EXPECT_EQ(m_out.str().find(kFirmwareSuccess), std::string::npos) << m_out.str();
        for (const std::string& part : row.errorParts) {
            EXPECT_NE(m_err.str().find(part), std::string::npos) << m_err.str();
        }
    }
    EXPECT_EQ(m_printer.Firmware().EndedConnections(), 0u);
}

}  // namespace
}  // namespace printdeck::cli
