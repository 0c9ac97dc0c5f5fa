#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <nlohmann/json.hpp>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "CliRun.h"
#include "app/ConfigStore.h"
#include "support/TempDir.h"
#include "support/VirtualPrinterFixture.h"

namespace printdeck::cli {
namespace {

namespace fs = std::filesystem;

std::string PortOf(const test::VirtualPrinterRunner& printer) {
    return test::VirtualPrinterRunner::PortString() + ":" + std::to_string(printer.Port());
}

class FleetTest : public ::testing::Test {
protected:
    test::VirtualPrinterRunner& AddPrinter() {
        m_printers.push_back(std::make_unique<test::VirtualPrinterRunner>());
        return *m_printers.back();
    }
    std::string Ports() const {
        std::string ports;
        for (const auto& printer : m_printers) {
            ports += ports.empty() ? "" : ",";
            ports += PortOf(*printer);
        }
        return ports;
    }
    int Run(std::vector<std::string> args) { return test::RunCliWith(args, m_out, m_err); }

    test::IsolatedFiles m_files;
    std::vector<std::unique_ptr<test::VirtualPrinterRunner>> m_printers;
    std::ostringstream m_out;
    std::ostringstream m_err;
};

TEST_F(FleetTest, SilentPrinterIsReportedAndTheOthersComplete) {
    AddPrinter().SetModel("_MRQ-T300");
    AddPrinter().SetFault("silent");
    test::VirtualPrinterRunner& third = AddPrinter();
    third.SetFirmware("_V01.05");

    EXPECT_EQ(Run({"--ports", Ports(), "identify"}), 1);

    const std::string out = m_out.str();
    const auto row = [&](const test::VirtualPrinterRunner& printer, const std::string& rest) {
        return std::regex(std::regex_replace(PortOf(printer), std::regex("\\."), "\\.") + " +" +
                          rest + " +[0-9]+\\.[0-9]\n");
    };
    EXPECT_TRUE(std::regex_search(out, row(*m_printers[0], "MRQ-T300 +VER V1\\.23 +ok"))) << out;
    EXPECT_TRUE(std::regex_search(
        out, row(*m_printers[1], "- +- +Printer model is not matched! \\(result 301: no reply\\)")))
        << out;
    EXPECT_TRUE(std::regex_search(out, row(third, "MRQ-T200 +V01\\.05 +ok"))) << out;
    EXPECT_NE(out.find("Model:        300 (MRQ-T300)"), std::string::npos) << out;
    EXPECT_NE(m_err.str().find("no reply from NET127.0.0.1 (TCP port " +
                               std::to_string(m_printers[1]->Port()) + ") within 3 s"),
              std::string::npos)
        << m_err.str();
    EXPECT_NE(m_err.str().find("1 of 3 printer(s) failed."), std::string::npos);

    // Each printer's entries went to its own log, none to the usual one.
    EXPECT_FALSE(fs::exists(m_files.LogPath()));
    for (const auto& printer : m_printers) {
        const std::string log = test::ReadWholeFile(
            m_files.Dir() / ("SbinLog-NET127.0.0.1_" + std::to_string(printer->Port()) + ".txt"));
        EXPECT_NE(log.find("[ETH][==>]"), std::string::npos) << log;
    }
}

TEST_F(FleetTest, SettingsSetWritesEveryPrinterAndStoresInTheOrderOfTheList) {
    test::VirtualPrinterRunner& slow = AddPrinter();
    slow.SetModel("_MRQ-T300");
    slow.SetFirmware("_V01.05");
    slow.SetFault("slow=30");
    AddPrinter();

    ASSERT_EQ(Run({"--ports", Ports(), "--json", "settings", "set", "Density=3", "--verify"}), 0)
        << m_err.str();

    const nlohmann::json summary = nlohmann::json::parse(m_out.str());
    ASSERT_EQ(summary["printers"].size(), 2u);
    EXPECT_EQ(summary["succeeded"], 2);
    EXPECT_EQ(summary["failed"], 0);
    EXPECT_EQ(summary["printers"][0]["port"], PortOf(slow));
    EXPECT_EQ(summary["printers"][0]["model"], "MRQ-T300");
    EXPECT_EQ(summary["printers"][1]["firmware"], "VER V1.23");
    EXPECT_GT(summary["printers"][0]["seconds"], summary["printers"][1]["seconds"])
        << "the first printer of the list finishes last";
    EXPECT_EQ(m_err.str(), "");

    // The store holds the record of the list's last printer, not of the
    // one that finished last.
    std::string version;
    EXPECT_TRUE(CConfigStore::ReadStringValue(kProgramKey, "Fwver", version));
    EXPECT_EQ(version, "VER V1.23");
    for (const auto& printer : m_printers) {
        ASSERT_EQ(test::RunCliWith(test::OnPrinter(*printer, {"settings", "get", "--json"}), m_out,
                                   m_err),
                  0);
        EXPECT_EQ(nlohmann::json::parse(m_out.str())["Density"], 3) << printer->Port();
    }
}

TEST_F(FleetTest, RefusesABadListBeforeConnecting) {
    const fs::path list = m_files.Dir() / "shops.txt";
    std::ofstream(list) << "# shops\n\nNET127.0.0.1:1\n  NET1.2.3  \n";
    const std::string file = list.string();
    const struct {
        std::vector<std::string> args;
        std::string message;
    } rows[] = {
        {{"--ports", "NET127.0.0.1:1,NET127.0.0.1:1", "identify"},
         "Ports NET127.0.0.1:1 (--ports entry 1) and NET127.0.0.1:1 (--ports entry 2) name the "
         "same printer"},
        {{"--ports", "ttyS0,COM1", "identify"}, "ttyS0 (--ports entry 1) and COM1"},
        {{"--ports", "NET127.0.0.1,NET127.0.0.1:9100", "identify"}, "name the same printer"},
        {{"--ports-file", file, "identify"}, file + ":4: Bad port string \"NET1.2.3\""},
        {{"--ports", "ttyS0", "--port", "ttyS1", "identify"}, "excludes --port"},
        {{"--ports", "ttyS0", "prn", "show", "x.prn"},
         "prn show runs once, not on every printer of a fleet"},
        {{"--ports-file", m_files.Dir().Path().string(), "identify"}, ": not a regular file"},
        {{"--ports-file", file + ".missing", "identify"}, ".missing: No such file or directory"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.message);
        EXPECT_EQ(Run(row.args), 2);
        EXPECT_NE(m_err.str().find(row.message), std::string::npos) << m_err.str();
        EXPECT_EQ(m_out.str(), "");
    }
}

}  // namespace
}  // namespace printdeck::cli
