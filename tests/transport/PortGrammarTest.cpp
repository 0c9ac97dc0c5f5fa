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
        GrammarCase{"Empty", "", PortKind::Serial, "/dev/"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace printdeck::test
