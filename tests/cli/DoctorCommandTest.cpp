#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "CliRun.h"
#include "support/TempDir.h"

namespace printdeck::test {
namespace {

using ::testing::HasSubstr;

TEST(DoctorCommand, NetworkPortThatAnswersIsFineInTextAndJson) {
    IsolatedFiles files;
    VirtualPrinterRunner printer;
    std::ostringstream out, err;
    ASSERT_EQ(RunCliWith(OnPrinter(printer, {"doctor"}), out, err), 0) << err.str();
    EXPECT_THAT(out.str(), HasSubstr("ok       NET127.0.0.1: 127.0.0.1 on TCP port"));
    EXPECT_THAT(out.str(), HasSubstr("No problems found."));

    ASSERT_EQ(RunCliWith(OnPrinter(printer, {"doctor", "--json"}), out, err), 0);
    const auto report = nlohmann::json::parse(out.str());
    EXPECT_EQ(report["ok"], true);
    ASSERT_EQ(report["findings"].size(), 1u);
    const auto& finding = report["findings"][0];
    EXPECT_EQ(finding["port"], "NET127.0.0.1");
    EXPECT_EQ(finding["check"], "network");
    EXPECT_EQ(finding["ok"], true);
    EXPECT_TRUE(finding["fix"].is_null());
}

TEST(DoctorCommand, ProblemGivesItsFixAndExitStatusOne) {
    IsolatedFiles files;
    std::ostringstream out, err;
    // Nothing listens on TCP port 1 of the loopback address.
    EXPECT_EQ(RunCliWith({"doctor", "--port", "NET127.0.0.1", "--baud", "1"}, out, err), 1);
    EXPECT_THAT(out.str(), HasSubstr("PROBLEM  NET127.0.0.1: 127.0.0.1 on TCP port 1 does not "
                                     "answer within 3 s. Fix: "));
    EXPECT_THAT(out.str(), HasSubstr("1 problem found."));

    EXPECT_EQ(RunCliWith({"doctor", "--json", "--port", "/nonexistent/lp0"}, out, err), 1);
    const auto report = nlohmann::json::parse(out.str());
    EXPECT_EQ(report["ok"], false);
    EXPECT_EQ(report["findings"][0]["check"], "exists");
    EXPECT_TRUE(report["findings"][0]["fix"].is_string());
}

}  // namespace
}  // namespace printdeck::test
