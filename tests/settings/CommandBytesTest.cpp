#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "SettingsOverTcp.h"

namespace printdeck::test {
namespace {

using Op = std::function<int(CPrinterSettings&)>;
using Prepare = std::function<void(CPrinterSettings&)>;

struct CommandRow {
    const char* name;
    PrinterKind printer;
    Prepare prepare;
    Op op;
    vp::Bytes expected;
};

class CommandBytesTest : public SettingsOverTcp,
                         public ::testing::WithParamInterface<CommandRow> {};

TEST_P(CommandBytesTest, SendsExactlyTheCommand) {
    const CommandRow& row = GetParam();
    Use(row.printer);
    if (row.prepare) {
        row.prepare(settings);
    }
    EXPECT_EQ(row.op(settings), RC_OK);
    EXPECT_EQ(Sent(row.expected.size()), row.expected);
    EXPECT_TRUE(PortOpen());
}

const Prepare kNothing;

INSTANTIATE_TEST_SUITE_P(
    Settings, CommandBytesTest,
    ::testing::Values(
        CommandRow{"BeginMsw", PrinterKind::Msw, kNothing,
                   [](auto& s) { return s.BeginMswSetting(); },
                   Cat({{0x1D, 0x28, 0x45, 0x03, 0x00, 0x01}, "IN"})},
        CommandRow{"EndMsw", PrinterKind::Msw, kNothing, [](auto& s) { return s.EndMswSetting(); },
                   Cat({{0x1D, 0x28, 0x45, 0x04, 0x00, 0x02}, "OUT"})},
        CommandRow{"BeginSw",
                   PrinterKind::Sw,
                   kNothing,
                   [](auto& s) { return s.BeginSwSetting(); },
                   {0x08, 0x5E, 0x45, 0x01, 0x00, 0x01}},
        CommandRow{"EndSw",
                   PrinterKind::Sw,
                   kNothing,
                   [](auto& s) { return s.EndSwSetting(); },
                   {0x08, 0x5E, 0x45, 0x01, 0x00, 0x02}},
        CommandRow{"ReadMsw",
                   PrinterKind::Msw,
                   kNothing,
                   [](auto& s) { return s.ReadMsw(3); },
                   {0x1D, 0x28, 0x45, 0x02, 0x00, 0x04, 0x03}},
        CommandRow{"ReadMsw81",
                   PrinterKind::NewMsw,
                   kNothing,
                   [](auto& s) { return s.ReadMsw(81); },
                   {0x1D, 0x28, 0x45, 0x02, 0x00, 0x04, 0x51}},
        CommandRow{"ReadSw",
                   PrinterKind::Sw,
                   kNothing,
                   [](auto& s) { return s.ReadSw(2); },
                   {0x08, 0x5E, 0x45, 0x02, 0x00, 0x04, 0x02}},
        CommandRow{"WriteMswTimeOff", PrinterKind::Msw, [](auto& s) { s.TimeOff = 15; },
                   [](auto& s) { return s.WriteMsw(5); },
                   Cat({{0x1D, 0x28, 0x45, 0x0B, 0x00, 0x03, 0x05}, "20001111"})},
        CommandRow{"WriteMswCharMode", PrinterKind::Msw,
                   [](auto& s) {
                       s.Density = 4;
                       s.Speed = 0;
                       s.LCharMode = 1;
                   },
                   [](auto& s) { return s.WriteMsw(1); },
                   Cat({{0x1D, 0x28, 0x45, 0x0B, 0x00, 0x03, 0x01}, "22201100"})},
        CommandRow{"WriteMswFontNew", PrinterKind::NewMsw, [](auto& s) { s.FontType = 1; },
                   [](auto& s) { return s.WriteMsw(8); },
                   Cat({{0x1D, 0x28, 0x45, 0x0B, 0x00, 0x03, 0x08}, "20000001"})},
        CommandRow{"WriteMswFontOld", PrinterKind::Msw, [](auto& s) { s.FontType = 1; },
                   [](auto& s) { return s.WriteMsw(8); },
                   Cat({{0x1D, 0x28, 0x45, 0x0B, 0x00, 0x03, 0x08}, "22200012"})},
        CommandRow{"WriteMswBlackMark", PrinterKind::NewMsw,
                   [](auto& s) { s.BlackMarkSensor = 0x3130; },
                   [](auto& s) { return s.WriteMsw(81); },
                   Cat({{0x1D, 0x28, 0x45, 0x0B, 0x00, 0x03, 0x51}, "00000001"})},
        CommandRow{"ReadMswSerial",
                   PrinterKind::Msw,
                   kNothing,
                   [](auto& s) { return s.ReadMswSerial(1); },
                   {0x1D, 0x28, 0x45, 0x02, 0x00, 0x0C, 0x01}},
        CommandRow{"ReadSwSerial",
                   PrinterKind::Sw,
                   kNothing,
                   [](auto& s) { return s.ReadSwSerial(2); },
                   {0x08, 0x5E, 0x45, 0x02, 0x00, 0x0C, 0x02}},
        CommandRow{"WriteMswSerialOddRate", PrinterKind::Msw, [](auto& s) { s.Baudrate = 14400; },
                   [](auto& s) { return s.WriteMswSerial(1); },
                   Cat({{0x1D, 0x28, 0x45, 0x08, 0x00, 0x0B, 0x01}, "115200"})},
        CommandRow{"WriteMswSerialSlowestRate", PrinterKind::Msw,
                   [](auto& s) { s.Baudrate = 2400; }, [](auto& s) { return s.WriteMswSerial(1); },
                   Cat({{0x1D, 0x28, 0x45, 0x06, 0x00, 0x0B, 0x01}, "2400"})},
        CommandRow{"WriteMswSerialRate", PrinterKind::Msw, [](auto& s) { s.Baudrate = 9600; },
                   [](auto& s) { return s.WriteMswSerial(1); },
                   Cat({{0x1D, 0x28, 0x45, 0x06, 0x00, 0x0B, 0x01}, "9600"})},
        CommandRow{"WriteMswSerialDataBits", PrinterKind::Msw, [](auto& s) { s.Databit = 7; },
                   [](auto& s) { return s.WriteMswSerial(4); },
                   Cat({{0x1D, 0x28, 0x45, 0x03, 0x00, 0x0B, 0x04}, "7"})},
        CommandRow{"WriteSwSerial", PrinterKind::Sw,
                   [](auto& s) {
                       s.Baudrate = 9600;
                       s.Parity = 0;
                       s.Flowcontrol = 1;
                       s.Databit = 8;
                   },
                   [](auto& s) { return s.WriteSwSerial(); },
                   Cat({{0x08, 0x5E, 0x45, 0x08, 0x00, 0x0B}, "9600018"})},
        CommandRow{"WriteSwSerialSlowestRate", PrinterKind::Sw, [](auto& s) { s.Baudrate = 2400; },
                   [](auto& s) { return s.WriteSwSerial(); },
                   Cat({{0x08, 0x5E, 0x45, 0x08, 0x00, 0x0B}, "2400008"})},
        CommandRow{"WriteSwSerialLongRate", PrinterKind::Sw, [](auto& s) { s.Baudrate = 115200; },
                   [](auto& s) { return s.WriteSwSerial(); },
                   Cat({{0x08, 0x5E, 0x45, 0x0A, 0x00, 0x0B}, "115200008"})},
        CommandRow{"ReadBluetooth",
                   PrinterKind::NewMsw,
                   kNothing,
                   [](auto& s) { return s.ReadBluetooth('c'); },
                   {0x1F, 0x1F, 0x69, 0x63}},
        CommandRow{"WriteBluetooth",
                   PrinterKind::NewMsw,
                   [](auto& s) {
                       s.m_nBtSecurity = 0;
                       s.m_nBtConnMode = 2;
                       s.m_strBtPin.clear();
                       s.m_strBtName = "AB";
                   },
                   [](auto& s) { return s.WriteBluetooth(); },
                   {0x1F, 0x1F, 0x70, 0x30, 0x33, 0x0D, 0x41, 0x42, 0x0D}},
        CommandRow{"ReadRfInterface",
                   PrinterKind::NewMsw,
                   kNothing,
                   [](auto& s) { return s.ReadRfInterface(); },
                   {0x1D, 0x28, 0x45, 0x02, 0x00, 0x04, 0x50}},
        CommandRow{"WriteRfInterface", PrinterKind::NewMsw, [](auto& s) { s.m_nRfInterface = 2; },
                   [](auto& s) { return s.WriteRfInterface(); },
                   Cat({{0x1D, 0x28, 0x45, 0x0B, 0x00, 0x03, 0x50}, "00000010"})},
        CommandRow{"ReadSentinel",
                   PrinterKind::NewMsw,
                   kNothing,
                   [](auto& s) { return s.ReadSentinel(2); },
                   {0x08, 0x4D, 0x53, 0x02, 0x00, 0x34, 0x32}},
        CommandRow{"WriteSentinelEmptyEnd",
                   PrinterKind::NewMsw,
                   [](auto& s) {
                       s.m_strTrack1Start = "AB";
                       s.m_strTrack1End.clear();
                   },
                   [](auto& s) { return s.WriteSentinel(1); },
                   {0x08, 0x4D, 0x53, 0x04, 0x00, 0x32, 0x31, 0x41, 0x42, 0x08, 0x4D, 0x53, 0x03,
                    0x00, 0x33, 0x31, 0x00}},
        CommandRow{"WriteSentinelEmptyStart", PrinterKind::Sw,
                   [](auto& s) {
                       s.m_strTrack3Start.clear();
                       s.m_strTrack3End = "?!";
                   },
                   [](auto& s) { return s.WriteSentinel(3); },
                   Cat({{0x08, 0x4D, 0x53, 0x02, 0x00, 0x32, 0x33, 0x08, 0x4D, 0x53, 0x04, 0x00,
                         0x33, 0x33},
                        "?!"})}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace printdeck::test
