#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "CliRun.h"

namespace printdeck::test {
namespace {

// The machine's own ports vary; the shape does not, and it lists what the
// text form lists.
TEST(PortsCommand, JsonListsTheSamePortsAsTheText) {
    std::ostringstream out, err;
    ASSERT_EQ(RunCliWith({"ports"}, out, err), 0);
    const std::string text = out.str();
    ASSERT_EQ(RunCliWith({"ports", "--json"}, out, err), 0);
    const auto ports = nlohmann::json::parse(out.str());
    for (const char* group : {"serial", "usb"}) {
        ASSERT_TRUE(ports[group].is_array()) << group;
        for (const auto& port : ports[group]) {
            const std::string line = "  --port " + port["port"].get<std::string>() + "    " +
                                     port["description"].get<std::string>() + "\n";
            EXPECT_NE(text.find(line), std::string::npos) << line;
        }
    }
}

}  // namespace
}  // namespace printdeck::test
