#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "Cli.h"
#include "CliRun.h"
#include "app/ConfigStore.h"
#include "support/TempDir.h"
#include "support/VirtualPrinterFixture.h"

namespace printdeck::cli {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

constexpr const char* kWriteFailed =
    "Failed to save VMSM configuration!\nPlease check your printer state.\n";

class SettingsCommandTest : public test::VirtualPrinterTest {
protected:
    int Run(std::vector<std::string> args) {
        return test::RunCliWith(test::OnPrinter(*this, args), out, err);
    }

    std::string StoreText() const {
        return std::filesystem::exists(files.StorePath()) ? test::ReadWholeFile(files.StorePath())
                                                          : std::string();
    }

    bool PrinterWasWritten() const {
        for (const vp::CommandEvent& event : Events()) {
            if (event.handler.ends_with("setting-start")) {
                return true;
            }
        }
        return false;
    }

    test::IsolatedFiles files;
    std::ostringstream out;
    std::ostringstream err;
};

struct PrinterCase {
    const char* name;
    const char* model;
    const char* firmware;
    const char* header;
    bool reportsBluetooth;
};

void PrintTo(const PrinterCase& printer, std::ostream* out) {
    *out << printer.name;
}

class SettingsGetTest : public SettingsCommandTest,
                        public ::testing::WithParamInterface<PrinterCase> {};

TEST_P(SettingsGetTest, PrintsEveryFieldWithItsMeaningAndCountsToHundred) {
    const PrinterCase& printer = GetParam();
    SetModel(printer.model);
    SetFirmware(printer.firmware);

    ASSERT_EQ(Run({"settings", "get"}), 0) << err.str();

    EXPECT_THAT(out.str(), HasSubstr(printer.header));
    EXPECT_THAT(out.str(), HasSubstr("Density          4         print density 100%\n"));
    EXPECT_THAT(out.str(), HasSubstr("CodePage         0         PC437 - USA, Standard Europe\n"));
    EXPECT_THAT(out.str(), HasSubstr("Parity           0         None\n"));
    EXPECT_THAT(out.str(), HasSubstr("Flowcontrol      0         DTR/DSR\n"));
    if (printer.reportsBluetooth) {
        EXPECT_THAT(out.str(), HasSubstr("BtPin            \"4826\"\n"));
        EXPECT_THAT(out.str(), HasSubstr("RfInterface      0         Disable All\n"));
        EXPECT_THAT(out.str(), HasSubstr("Track1Start      \"%\"\n"));
    } else {
        EXPECT_THAT(out.str(), Not(HasSubstr("BtPin")));
        EXPECT_THAT(out.str(), Not(HasSubstr("RfInterface")));
    }
    EXPECT_THAT(err.str(), HasSubstr("Get status : 1 %\n"));
    EXPECT_THAT(err.str(), HasSubstr(": 100 %\n"));
    EXPECT_FALSE(PrinterWasWritten());
}

INSTANTIATE_TEST_SUITE_P(
    ThreePrinters, SettingsGetTest,
    ::testing::Values(
        PrinterCase{"MswOldFirmware", "_MRQ-T200", "_VER V1.23",
                    "Printer:         MRQ-T200, firmware VER V1.23 (1230), MSW dialect\n", false},
        PrinterCase{"SwDialect", "_MRQ-T200", "_V01.00",
                    "Printer:         MRQ-T200, firmware V01.00 (21000), SW dialect\n", false},
        PrinterCase{"MswNewFirmware", "_MRQ-T300", "_V01.05",
                    "Printer:         MRQ-T300, firmware V01.05 (101050), MSW dialect\n", true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SettingsCommandTest, SetWritesThePrinterAndStoresTheRecord) {
    ASSERT_EQ(Run({"settings", "set", "Density=7", "timeoff=30"}), 0) << err.str();

    EXPECT_EQ(out.str(), "Success to set VMSM configuration! \nPlease reset printer power.\n");
    EXPECT_THAT(err.str(), HasSubstr("Set status : 1 %\n"));
    EXPECT_EQ(err.str().find('\r'), std::string::npos) << "no carriage return off a terminal";
    EXPECT_EQ(Printer().State().settings.Get().Switch(1).substr(5), "111");
    std::uint32_t stored = 0;
    EXPECT_TRUE(CConfigStore::ReadDwordValue(kProgramKey, "Density", stored));
    EXPECT_EQ(stored, 7u);

    ASSERT_EQ(Run({"settings", "get", "--json"}), 0) << err.str();
    const nlohmann::json json = nlohmann::json::parse(out.str());
    EXPECT_EQ(json["Density"], 7);
    EXPECT_EQ(json["TimeOff"], 30);
}

// A profile taken from the printer, then the printer changed: the diff names
// exactly what changed, and a profile holding only some settings is compared
// on those alone.
TEST_F(SettingsCommandTest, DiffShowsExactlyTheSettingsThatChanged) {
    ASSERT_EQ(Run({"settings", "get", "--json"}), 0) << err.str();
    const std::filesystem::path profile = files.Dir() / "shop.json";
    std::ofstream(profile) << out.str();
    const nlohmann::json taken = nlohmann::json::parse(out.str());
    ASSERT_EQ(Run({"settings", "diff", profile.string()}), 0) << err.str();
    EXPECT_THAT(out.str(), HasSubstr("The printer holds every setting of " + profile.string()));

    ASSERT_NE(taken["Density"], 7);
    ASSERT_NE(taken["TimeOff"], 30);
    ASSERT_EQ(Run({"settings", "set", "Density=7", "TimeOff=30"}), 0) << err.str();

    EXPECT_EQ(Run({"settings", "diff", profile.string(), "--json"}), 1) << err.str();
    const nlohmann::json diff = nlohmann::json::parse(out.str());
    EXPECT_FALSE(diff["equal"]);
    ASSERT_EQ(diff["differences"].size(), 2u) << diff.dump(2);
    EXPECT_EQ(diff["differences"][0]["name"], "Density");
    EXPECT_EQ(diff["differences"][0]["printer"], 7);
    EXPECT_EQ(diff["differences"][0]["file"], taken["Density"]);
    EXPECT_EQ(diff["differences"][1]["name"], "TimeOff");
    EXPECT_EQ(diff["differences"][1]["printer"], 30);

    EXPECT_EQ(Run({"settings", "diff", profile.string()}), 1);
    EXPECT_THAT(out.str(), HasSubstr("Density\n  printer  7 "));
    EXPECT_THAT(out.str(), HasSubstr("2 setting(s) differ from " + profile.string()));

    const std::filesystem::path part = files.Dir() / "part.json";
    std::ofstream(part) << R"({"TimeOff": 30, "Speed": )" << taken["Speed"] << "}";
    EXPECT_EQ(Run({"settings", "diff", part.string()}), 0) << out.str() << err.str();

    const std::filesystem::path unknown = files.Dir() / "unknown.json";
    std::ofstream(unknown) << R"({"Colour": 3})";
    ClearReceived();
    EXPECT_EQ(Run({"settings", "diff", unknown.string()}), 2);
    EXPECT_THAT(err.str(), HasSubstr("unknown.json: unknown setting \"Colour\""));
    EXPECT_TRUE(Received().empty());

    // The whole profile applies back, BlackMarkSensor's "no position" too.
    ASSERT_EQ(Run({"settings", "set", "--from", profile.string()}), 0) << err.str();
    EXPECT_EQ(Run({"settings", "diff", profile.string()}), 0) << out.str();
}

// A printer that acknowledges a switch write but keeps its value is caught;
// one that takes everything is confirmed.
TEST_F(SettingsCommandTest, VerifyNamesTheSettingsThatDidNotTake) {
    ASSERT_EQ(Run({"settings", "set", "Density=7", "TimeOff=30", "--verify"}), 0) << err.str();
    EXPECT_THAT(out.str(), HasSubstr("Verified: the printer reports every setting as written."));

    Printer().State().settings.Update([](vp::SettingsMemory& memory) { memory.ignoredSwitch = 1; });
    EXPECT_EQ(Run({"settings", "set", "Density=5", "TimeOff=20", "--verify"}), 1);
    EXPECT_THAT(out.str(), HasSubstr("Did not take: Density\n  printer  7 "));
    EXPECT_THAT(out.str(), HasSubstr("  written  5 "));
    EXPECT_THAT(out.str(), Not(HasSubstr("TimeOff")));
    EXPECT_THAT(err.str(), HasSubstr("1 setting(s) did not take."));
}

struct DefaultCase {
    const char* name;
    const char* model;
    const char* firmware;
};

class SettingsDefaultVerifyTest : public SettingsCommandTest,
                                  public ::testing::WithParamInterface<DefaultCase> {};

// The reset is checked against the factory values of each model's block.
TEST_P(SettingsDefaultVerifyTest, ConfirmsTheFactoryValues) {
    SetModel(GetParam().model);
    SetFirmware(GetParam().firmware);
    ASSERT_EQ(Run({"settings", "set", "Density=7", "TimeOff=30", "Baudrate=9600"}), 0) << err.str();

    ASSERT_EQ(Run({"settings", "default", "--verify"}), 0) << out.str() << err.str();
    EXPECT_THAT(out.str(),
                HasSubstr("Verified: the printer reports its factory defaults and kept the rest."));
    ASSERT_EQ(Run({"settings", "get", "--json"}), 0) << err.str();
    const nlohmann::json reset = nlohmann::json::parse(out.str());
    EXPECT_NE(reset["Density"], 7);
    EXPECT_NE(reset["TimeOff"], 30);
    EXPECT_EQ(reset["Baudrate"], 115200);
}

INSTANTIATE_TEST_SUITE_P(FourFamilies, SettingsDefaultVerifyTest,
                         ::testing::Values(DefaultCase{"MswOldFirmware", "_MRQ-T200", "_VER V1.23"},
                                           DefaultCase{"SwDialect", "_MRQ-T200", "_V01.00"},
                                           DefaultCase{"MswNewFirmware", "_MRQ-T300", "_V01.05"},
                                           DefaultCase{"Kt220", "_KT 220", "_V01.00"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(SettingsCommandTest, DefaultVerifyCatchesASwitchThePrinterKept) {
    ASSERT_EQ(Run({"settings", "set", "Density=7", "TimeOff=30"}), 0) << err.str();
    Printer().State().settings.Update([](vp::SettingsMemory& memory) { memory.ignoredSwitch = 1; });

    EXPECT_EQ(Run({"settings", "default", "--verify"}), 1);

    EXPECT_THAT(out.str(), HasSubstr("Did not take: Density\n  printer  7 "));
    EXPECT_THAT(out.str(), HasSubstr("  factory  "));
    EXPECT_THAT(out.str(), Not(HasSubstr("TimeOff")));
    EXPECT_THAT(err.str(), HasSubstr("1 setting(s) did not take."));
}

// A dry run writes nothing to the printer or the store and prints exactly
// the bytes that the real run then sends after its read run.
TEST_F(SettingsCommandTest, DryRunPrintsTheBytesOfTheRealWriteAndSendsNone) {
    SetModel("_MRQ-T300");
    SetFirmware("_V01.05");
    ASSERT_EQ(Run({"settings", "get"}), 0) << err.str();
    const std::size_t readRunBytes = Received().size();
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"settings", "set", "Density=7", "TimeOff=30"},
          std::vector<std::string>{"settings", "default"}}) {
        SCOPED_TRACE(args[1]);
        const std::string storeBefore = StoreText();
        ClearReceived();
        std::vector<std::string> dry = args;
        dry.push_back("--dry-run");
        ASSERT_EQ(Run(dry), 0) << err.str();
        EXPECT_FALSE(PrinterWasWritten());
        EXPECT_EQ(Received().size(), readRunBytes);
        EXPECT_EQ(StoreText(), storeBefore);
        EXPECT_THAT(out.str(), HasSubstr("Dry run: nothing was written."));
        EXPECT_THAT(out.str(), HasSubstr("  setting mode start\n"));
        const vp::Bytes printed = test::DryRunBytes(out.str());

        ClearReceived();
        ASSERT_EQ(Run(args), 0) << err.str();
        ASSERT_TRUE(WaitForReceived(readRunBytes + printed.size()));
        const vp::Bytes real = Received();
        EXPECT_EQ(vp::Bytes(real.begin() + static_cast<std::ptrdiff_t>(readRunBytes), real.end()),
                  printed);
    }
}

TEST_F(SettingsCommandTest, PrinterClosingDuringTheWriteFailsAndKeepsTheStore) {
    SetModel("_MRQ-T300");
    SetFirmware("_V01.05");
    Printer().State().settings.Update(
        [](vp::SettingsMemory& memory) { memory.trackStart[0] = "\x01\xB0"; });
    ASSERT_EQ(Run({"settings", "get", "--json"}), 0) << err.str();
    const std::size_t readRunBytes = Received().size();
    const std::string printed = out.str();
    EXPECT_THAT(printed, HasSubstr("\"Track1Start\": \"\\u0001\\u00b0\""));
    EXPECT_THAT(printed, HasSubstr("\"BtPin\": \"4826\""));
    EXPECT_THAT(printed, HasSubstr("\"BluetoothOff\": 1"));
    const std::filesystem::path file = files.Dir() / "settings.json";
    std::string changed = printed;
    const std::string density = "\"Density\": 4";
    ASSERT_NE(changed.find(density), std::string::npos);
    changed.replace(changed.find(density), density.size(), "\"Density\": 7");
    std::ofstream(file) << changed;
    const std::string storeBefore = StoreText();

    // The same read run again, then the printer hangs up early in the write run.
    SetFault("close-after=" + std::to_string(readRunBytes + 10));
    EXPECT_EQ(Run({"settings", "set", "--from", file.string()}), 1);

    EXPECT_THAT(err.str(), HasSubstr(kWriteFailed));
    EXPECT_EQ(out.str(), "");
    EXPECT_EQ(StoreText(), storeBefore);
}

// A store that is no file stops every command at once with exit 1; one
// that cannot be written makes a set fail even though the printer took it.
TEST_F(SettingsCommandTest, StoreThatIsNoFileOrCannotBeWrittenIsAFailure) {
    const std::filesystem::path fifo = files.Dir() / "fifo.reg";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    {
        test::ScopedEnv store("PRINTDECK_STORE", fifo.string());
        for (const std::vector<std::string>& args :
             {std::vector<std::string>{"settings", "get"}, {"settings", "set", "Density=7"}}) {
            EXPECT_EQ(Run(args), 1) << args[1];
            EXPECT_THAT(err.str(), HasSubstr(fifo.string() + ": the store is a named pipe (FIFO)"));
        }
        EXPECT_TRUE(Received().empty());
        EXPECT_EQ(std::filesystem::status(fifo).type(), std::filesystem::file_type::fifo);
    }
    const std::filesystem::path blocker = files.Dir() / "not-a-folder";
    std::ofstream(blocker) << "x";
    test::ScopedEnv store("PRINTDECK_STORE", (blocker / "printdeck.reg").string());
    EXPECT_EQ(Run({"settings", "set", "Density=7"}), 1);
    EXPECT_EQ(out.str(), "");
    EXPECT_THAT(err.str(), HasSubstr("The printer took the settings, but they could not be "
                                     "saved in " +
                                     (blocker / "printdeck.reg").string()));
}

TEST_F(SettingsCommandTest, BadNamesAndValuesAreRefusedBeforeConnecting) {
    const std::filesystem::path notJson = files.Dir() / "bad.json";
    std::ofstream(notJson) << "{\"Density\": ";
    const std::filesystem::path unknownKey = files.Dir() / "unknown.json";
    std::ofstream(unknownKey) << "{\"Density\": 4, \"Colour\": 1}";
    const std::filesystem::path twice = files.Dir() / "twice.json";
    std::ofstream(twice) << "{\"Density\": 4, \"Speed\": 1, \"Density\": 5}";
    const std::filesystem::path twiceSpelled = files.Dir() / "spelled.json";
    std::ofstream(twiceSpelled) << "{\"Density\": 4, \"density\": 5}";
    const std::filesystem::path textNumber = files.Dir() / "text.json";
    std::ofstream(textNumber) << "{\"Density\": \"4\"}";
    const std::filesystem::path huge = files.Dir() / "huge.json";
    std::ofstream(huge) << "{\"BtName\": \"" << std::string(1024 * 1024, 'a') << "\"}";
    const std::string longWord(200, 'x');
    const struct {
        std::vector<std::string> args;
        std::string message;
    } cases[] = {
        {{"Density=8"}, "Invalid value for Density: value 8 is outside 0..7"},
        {{"Colour=1"}, "Unknown setting \"Colour\""},
        {{"Density"}, "Expected NAME=VALUE, got \"Density\""},
        {{"TimeOff=ten"}, "Invalid value for TimeOff: \"ten\" is not a number"},
        {{"BtPin=1234567890123"}, "Invalid value for BtPin: at most 12 bytes"},
        {{"--from", notJson.string()}, "bad.json: [json.exception.parse_error"},
        {{"--from", unknownKey.string()}, "unknown.json: unknown setting \"Colour\""},
        {{}, "Name at least one NAME=VALUE or --from FILE.json"},
        {{"Density=1", "density=2"}, "Setting Density is named twice"},
        {{"--from", twice.string()}, "twice.json: setting \"Density\" is named twice"},
        {{"--from", twiceSpelled.string()}, "spelled.json: Setting Density is named twice"},
        {{"--from", unknownKey.string(), "Speed=1", "speed=2"}, "unknown.json: unknown"},
        {{"--from", textNumber.string()}, "invalid value for Density: expected a whole number"},
        {{"--from", huge.string()}, "huge.json: larger than 1 MiB"},
        // Echoed values are cut, and control characters cannot reach the terminal.
        {{"TimeOff=" + longWord}, "TimeOff: \"" + std::string(57, 'x') + "...\" is not a number\n"},
        {{longWord}, "got \"" + std::string(57, 'x') + "...\"\n"},
        {{"Col\x1B[31m=1"}, "Unknown setting \"Col?[31m\""},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args = {"settings", "set"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        EXPECT_EQ(Run(args), 2) << c.message;
        EXPECT_THAT(err.str(), HasSubstr(c.message));
    }
    EXPECT_TRUE(Received().empty());
}

TEST_F(SettingsCommandTest, SetWithNothingToChangeSaysSoAndWritesNothing) {
    const std::filesystem::path empty = files.Dir() / "empty.json";
    std::ofstream(empty) << "{}";
    EXPECT_EQ(Run({"settings", "set", "--from", empty.string()}), 0) << err.str();
    EXPECT_THAT(out.str(), HasSubstr("Nothing to change"));
    EXPECT_TRUE(Received().empty());

    // The printer holds density 4 already.
    EXPECT_EQ(Run({"settings", "set", "Density=4"}), 0) << err.str();
    EXPECT_THAT(out.str(), HasSubstr("Nothing to change"));
    EXPECT_FALSE(PrinterWasWritten());
    EXPECT_EQ(StoreText(), "");
}

TEST_F(SettingsCommandTest, ValueThePrinterDoesNotOfferIsRefusedBeforeTheWrite) {
    const std::filesystem::path file = files.Dir() / "codepage.json";
    std::ofstream(file) << "{\"codepage\": 36}";

    EXPECT_EQ(Run({"settings", "set", "--from", file.string()}), 2);

    EXPECT_THAT(err.str(), HasSubstr("Invalid value for CodePage: this printer offers 0 to 30"));
    EXPECT_FALSE(PrinterWasWritten());
    EXPECT_EQ(StoreText(), "");
}

// The switch-81 frames the printer received.
std::size_t BlackMarkWrites(const std::vector<vp::CommandEvent>& events) {
    std::size_t writes = 0;
    for (const vp::CommandEvent& event : events) {
        if (event.handler == "msw-write-switch" && event.bytes.size() > 6 && event.bytes[6] == 81) {
            ++writes;
        }
    }
    return writes;
}

TEST_F(SettingsCommandTest, BlackMarkPositionCanOnlyBeChangedWhenThePrinterGaveOne) {
    SetModel("_MRQ-T300");
    SetFirmware("_V01.05");
    const struct {
        const char* reported;
        const char* assignment;
        int exitCode;
        const char* after;
        std::size_t writes;
    } cases[] = {
        {"00000001", "BlackMarkSensor=rear", 0, "00000010", 1},
        {"00000001", "Density=7", 0, "00000001", 1},
        // No position given: Front and Rear are not offered and switch 81 is left alone.
        {"00000000", "BlackMarkSensor=front", 2, "00000000", 0},
        {"00000000", "Density=7", 0, "00000000", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.reported) + " " + c.assignment);
        Printer().State().settings.Update([&](vp::SettingsMemory& memory) {
            std::copy_n(c.reported, 8, memory.switches[81].begin());
        });
        ClearReceived();
        EXPECT_EQ(Run({"settings", "set", c.assignment}), c.exitCode) << err.str();
        EXPECT_EQ(Printer().State().settings.Get().Switch(81), c.after);
        EXPECT_EQ(BlackMarkWrites(Events()), c.writes);
        if (c.exitCode != 0) {
            EXPECT_THAT(err.str(), HasSubstr("Invalid value for BlackMarkSensor: the printer "
                                             "reported no black-mark sensor position"));
        }
    }
}

TEST_F(SettingsCommandTest, SetSendsWhatTheEditorWouldForTheValuesItLeavesAlone) {
    Printer().State().settings.Update(
        [](vp::SettingsMemory& memory) { memory.baudrate = "14400"; });
    ASSERT_EQ(Run({"settings", "set", "Density=7"}), 0) << err.str();
    // The editor shows 14400 baud as 19200 and saves that.
    EXPECT_EQ(Printer().State().settings.Get().baudrate, "19200");

    // A power-off time the editor refuses must be named to be written.
    Printer().State().settings.Update([](vp::SettingsMemory& memory) {
        memory.switches[5] = {'0', '1', '1', '0', '0', '1', '0', '0'};  // 100 minutes
    });
    ClearReceived();
    EXPECT_EQ(Run({"settings", "set", "Density=6"}), 2);
    EXPECT_THAT(err.str(),
                HasSubstr("Invalid value for TimeOff: Please enter an integer between 0 and 90."));
    EXPECT_FALSE(PrinterWasWritten());
    ASSERT_EQ(Run({"settings", "set", "Density=6", "TimeOff=90"}), 0) << err.str();
    EXPECT_EQ(Printer().State().settings.Get().Switch(5), "01011010");
}

}  // namespace
}  // namespace printdeck::cli
