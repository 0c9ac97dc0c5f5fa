#include <gtest/gtest.h>

#include <string>

#include "transport/PortName.h"
#include "transport/PrinterPort.h"

namespace printdeck::test {
namespace {

struct GrammarCase {
    const char* name;
    std::string portString;
    PortKind kind;
    std::string target;
};

class PortGrammarTest : public ::testing::TestWithParam<GrammarCase> {};

TEST_P(PortGrammarTest, NamesKindAndTarget) {
    const GrammarCase& row = GetParam();
    EXPECT_EQ(CPrinterPort::KindOf(row.portString), row.kind);
    EXPECT_EQ(PortTarget(row.kind, row.portString), row.target);
}

INSTANTIATE_TEST_SUITE_P(
    PortStrings, PortGrammarTest,
    ::testing::Values(
        GrammarCase{"ComAlias", "COM7", PortKind::Serial, "/dev/ttyS6"},
        GrammarCase{"ComZeroIsNoAlias", "COM0", PortKind::Serial, "/dev/COM0"},
        GrammarCase{"UsbSerial", "ttyUSB0", PortKind::Serial, "/dev/ttyUSB0"},
        GrammarCase{"PseudoTerminal", "pts/3", PortKind::Serial, "/dev/pts/3"},
        GrammarCase{"TenCharactersIsSerial", "rfcomm1234", PortKind::Serial, "/dev/rfcomm1234"},
        GrammarCase{"ParallelAlias", "LPT1", PortKind::Parallel, "/dev/lp0"},
        GrammarCase{"LongParallelName", "LPT_printer_port", PortKind::Parallel,
                    "/dev/LPT_printer_port"},
        GrammarCase{"Network", "NET10.0.0.5", PortKind::Network, "10.0.0.5"},
        GrammarCase{"LowerCaseNetIsAPath", "net10.0.0.5", PortKind::DevicePath, "net10.0.0.5"},
        GrammarCase{"UsbPrinterNode", "/dev/usb/lp0", PortKind::DevicePath, "/dev/usb/lp0"},
        GrammarCase{"ElevenCharacters", "ttyUSB12345", PortKind::DevicePath, "ttyUSB12345"},
        GrammarCase{"SerialNameWithItsFolder", "/dev/ttyS0", PortKind::Serial, "/dev/ttyS0"},
        GrammarCase{"Empty", "", PortKind::Serial, "/dev/"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PortStringProblemTest, RefusesWhatNamesNoConnection) {
    const std::string badAddress =
        "NET must be followed by a dotted IPv4 address such as NET192.168.0.10";
    const struct {
        std::string portString;
        std::uint32_t tcpPort;
        std::string problem;
    } rows[] = {
        {"NET10.0.0.5", 9100, ""},
        {"NET10.0.0.5", 65535, ""},
        {"ttyUSB0", 4000000, ""},
        {"/dev/usb/lp0", 0, ""},
        {"", 9100, "the port string is empty"},
        {"NET", 9100, badAddress},
        {"NET10.0.0", 9100, badAddress},
        {"NET10.0.0.256", 9100, badAddress},
        {"NET 10.0.0.5", 9100, badAddress},
        {"NET10.0.0.5", 0, "TCP port 0 is outside 1 to 65535"},
        {"NET10.0.0.5", 65536 + 9100, "TCP port 74636 is outside 1 to 65535"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(PortStringProblem(row.portString, row.tcpPort), row.problem)
            << row.portString << " " << row.tcpPort;
    }
}

}  // namespace
}  // namespace printdeck::test
