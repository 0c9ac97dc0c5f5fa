#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <sstream>
#include <string>
#include <vector>

#include "CliRun.h"
#include "support/TempDir.h"
#include "support/VirtualPrinterFixture.h"

namespace printdeck::cli {
namespace {

using nlohmann::json;

// What a script reads: standard output holds the result as JSON, and in a
// failure standard error holds one JSON object and nothing else.
class JsonOutputTest : public test::VirtualPrinterTest {
protected:
    int Run(const std::vector<std::string>& args) {
        return test::RunCliWith(test::OnPrinter(*this, args), m_out, m_err);
    }
    json Error() const {
        const json parsed = json::parse(m_err.str());
        EXPECT_EQ(parsed.size(), 1u) << m_err.str();
        return parsed.at("error");
    }

    test::IsolatedFiles m_files;
    std::ostringstream m_out;
    std::ostringstream m_err;
};

TEST_F(JsonOutputTest, IdentifyGivesEveryAnswerAsOneObject) {
    SetModel("_MRQ-T300");
    SetFirmware("_V01.05");
    SetMsr('9');
    ASSERT_EQ(Run({"identify", "--json"}), 0) << m_err.str();
    const json identity = json::parse(m_out.str());
    EXPECT_EQ(identity["port"], "NET127.0.0.1");
    EXPECT_EQ(identity["connection"], "NET127.0.0.1 (TCP port " + std::to_string(Port()) + ")");
    EXPECT_EQ(identity["model"], (json{{"code", 300}, {"name", "MRQ-T300"}}));
    EXPECT_EQ(identity["firmware"], (json{{"number", 101050}, {"version", "V01.05"}}));
    EXPECT_EQ(identity["dialect"], "MSW");
    EXPECT_EQ(identity["codePage"], "_PC437");
    EXPECT_EQ(identity["cardReader"], '9');
    EXPECT_EQ(m_err.str(), "");
}

TEST_F(JsonOutputTest, NvListGivesTheFamilyAndTheAddresses) {
    ASSERT_EQ(Run({"nv", "list", "--json"}), 0) << m_err.str();
    EXPECT_EQ(json::parse(m_out.str()),
              (json{{"family", "key-code"}, {"addresses", json::array()}}));

    StoreNvKeyCodes({"10", "A1"});
    ASSERT_EQ(Run({"nv", "list", "--json"}), 0) << m_err.str();
    EXPECT_EQ(json::parse(m_out.str()),
              (json{{"family", "key-code"}, {"addresses", {"10", "A1"}}}));

    SetFirmware("_S02.10");
    ASSERT_EQ(Run({"nv", "list", "--json"}), 0) << m_err.str();
    EXPECT_EQ(json::parse(m_out.str())["family"], "indexed");
}

TEST_F(JsonOutputTest, PrinterFailureIsOneErrorObjectWithItsResultCode) {
    SetFault("silent");
    EXPECT_EQ(Run({"identify", "--json"}), 1);
    EXPECT_EQ(m_out.str(), "");
    const json error = Error();
    EXPECT_EQ(error["exitStatus"], 1);
    EXPECT_EQ(error["message"], "Printer model is not matched!");
    EXPECT_EQ(error["result"], 301);
    EXPECT_EQ(error["resultName"], "no reply");
    EXPECT_EQ(error["details"], (json{"no reply from NET127.0.0.1 (TCP port " +
                                      std::to_string(Port()) + ") within 3 s"}));
}

TEST_F(JsonOutputTest, UsageErrorsAreErrorObjectsToo) {
    const std::vector<std::vector<std::string>> rows = {
        {"--port", "NET10.0.0", "nv", "list", "--json"},
        {"ports", "--json", "--no-such-option"},
    };
    for (const auto& args : rows) {
        SCOPED_TRACE(args.back());
        EXPECT_EQ(test::RunCliWith(args, m_out, m_err), 2);
        const json error = Error();
        EXPECT_EQ(error["exitStatus"], 2);
        EXPECT_FALSE(error["message"].get<std::string>().empty());
        EXPECT_TRUE(error["result"].is_null());
    }
    EXPECT_TRUE(Received().empty());
}

}  // namespace
}  // namespace printdeck::cli
