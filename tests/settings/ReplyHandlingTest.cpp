#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <thread>

#include "RecordFields.h"
#include "SettingsOverTcp.h"

namespace printdeck::test {
namespace {

using Op = std::function<int(CPrinterSettings&)>;
using Change = std::function<void(CPrinterSettings&)>;
using Adjust = std::function<void(CPrinterDevice&)>;

const std::string kLongText(120, 'N');

struct ReplyRow {
    const char* name;
    PrinterKind printer;
    std::optional<vp::Bytes> reply;  // nullopt: the printer's own answer
    Op op;
    int rc;
    Change change;  // the fields the reply sets; every other field must stay
    bool portOpen;
    std::uint8_t msr = '0';
    Adjust adjust = {};  // identification results the printer cannot give
};

class ReplyTest : public SettingsOverTcp, public ::testing::WithParamInterface<ReplyRow> {};

TEST_P(ReplyTest, SetsTheFieldsOfAGoodReplyOnly) {
    const ReplyRow& row = GetParam();
    Use(row.printer, row.msr);
    if (row.adjust) {
        row.adjust(device);
    }
    settings.m_strTrack2Start = "old";
    settings.m_strBtName = "old";
    CPrinterSettings expected;
    expected.m_strTrack2Start = "old";
    expected.m_strBtName = "old";
    if (row.change) {
        row.change(expected);
    }
    if (row.reply) {
        Script(*row.reply);
    }
    EXPECT_EQ(row.op(settings), row.rc);
    EXPECT_EQ(RecordFields(settings), RecordFields(expected));
    EXPECT_EQ(PortOpen(), row.portOpen);
}

vp::Bytes SwitchReply(const char* digits) {
    return Cat({{0x37, 0x21}, digits, {0x00}});
}

constexpr bool kOpen = true;
constexpr bool kClosed = false;

INSTANTIATE_TEST_SUITE_P(Reads, ReplyTest,
                         ::testing::Values(
                             ReplyRow{"Msw3Symbologies", PrinterKind::Msw, SwitchReply("00001011"),
                                      [](auto& s) { return s.ReadMsw(3); }, RC_OK,
                                      [](auto& s) {
                                          s.QrCode = 1;
                                          s.MaxiCode = 0;
                                          s.DataMatrix = 1;
                                          s.Pdf417 = 1;
                                      },
                                      kOpen},
                             ReplyRow{"Sw2WideCodePage", PrinterKind::Sw, SwitchReply("00010100"),
                                      [](auto& s) { return s.ReadSw(2); }, RC_OK,
                                      [](auto& s) { s.CodePage = 34; }, kOpen},
                             ReplyRow{"Sw2NarrowCodePage", PrinterKind::Sw, SwitchReply("00010100"),
                                      [](auto& s) { return s.ReadSw(2); }, RC_OK,
                                      [](auto& s) { s.CodePage = 2; }, kOpen, '0',
                                      [](auto& d) { d.g_Getver = 20999; }},
                             ReplyRow{"Msw7LongFormFromPrinter", PrinterKind::NewMsw, std::nullopt,
                                      [](auto& s) { return s.ReadMsw(7); }, RC_OK,
                                      [](auto& s) { s.Msr = 6; }, kOpen, '9'},
                             ReplyRow{"Msw7ShortFormFromPrinter", PrinterKind::NewMsw, std::nullopt,
                                      [](auto& s) { return s.ReadMsw(7); }, RC_OK,
                                      [](auto& s) { s.Msr = 0; }, kOpen},
                             ReplyRow{"Msw81FromPrinter", PrinterKind::NewMsw, std::nullopt,
                                      [](auto& s) { return s.ReadMsw(81); }, RC_OK,
                                      [](auto& s) { s.BlackMarkSensor = 0x3130; }, kOpen},
                             ReplyRow{"Msw81OnOldFirmwareIsNotSupported",
                                      PrinterKind::Msw,
                                      std::nullopt,
                                      [](auto& s) { return s.ReadMsw(81); },
                                      RC_NOT_SUPPORTED,
                                      {},
                                      kOpen},
                             ReplyRow{"Msw81OutsideItsPositions",
                                      PrinterKind::NewMsw,
                                      SwitchReply("00000011"),
                                      [](auto& s) { return s.ReadMsw(81); },
                                      RC_BAD_REPLY,
                                      {},
                                      kClosed},
                             ReplyRow{"SwitchReplyOfWrongType",
                                      PrinterKind::Msw,
                                      Cat({{0x37, 0x22}, "00001011", {0x00}}),
                                      [](auto& s) { return s.ReadMsw(3); },
                                      RC_BAD_REPLY,
                                      {},
                                      kClosed},
                             ReplyRow{"SwitchReplyWithoutClosingZero",
                                      PrinterKind::Sw,
                                      Cat({{0x37, 0x21}, "000010111"}),
                                      [](auto& s) { return s.ReadSw(3); },
                                      RC_BAD_REPLY,
                                      {},
                                      kClosed},
                             ReplyRow{"BeginMswRefused",
                                      PrinterKind::Msw,
                                      vp::Bytes{0x37, 0x20, 0x01},
                                      [](auto& s) { return s.BeginMswSetting(); },
                                      RC_BAD_REPLY,
                                      {},
                                      kClosed},
                             ReplyRow{"BeginSwRefused",
                                      PrinterKind::Sw,
                                      vp::Bytes{0x37, 0x20, 0x01},
                                      [](auto& s) { return s.BeginSwSetting(); },
                                      RC_NO_REPLY,
                                      {},
                                      kClosed},
                             ReplyRow{"SerialRate", PrinterKind::Msw,
                                      Cat({{0x37, 0x33, 0x31, 0x1F}, "115200", {0}}),
                                      [](auto& s) { return s.ReadMswSerial(1); },
                                      RC_OK, [](auto& s) { s.Baudrate = 115200; }, kOpen},
                             ReplyRow{"SerialRateFromPrinter",
                                      PrinterKind::Sw,
                                      std::nullopt,
                                      [](auto& s) {
                                          s.Baudrate = 0;
                                          return s.ReadSwSerial(1);
                                      },
                                      RC_OK,
                                      {},
                                      kOpen},
                             ReplyRow{"SerialDataBitsFromPrinter", PrinterKind::Sw, std::nullopt,
                                      [](auto& s) { return s.ReadSwSerial(4); }, RC_OK,
                                      [](auto& s) { s.Databit = 8; }, kOpen},
                             ReplyRow{"SerialParity", PrinterKind::Msw,
                                      vp::Bytes{0x37, 0x33, 0x32, 0x1F, 0x32, 0x00},
                                      [](auto& s) { return s.ReadMswSerial(2); }, RC_OK,
                                      [](auto& s) { s.Parity = 2; }, kOpen},
                             ReplyRow{"SerialReplyTooLong",
                                      PrinterKind::Msw,
                                      Cat({{0x37, 0x33, 0x31, 0x1F}, "1152000", {0}}),
                                      [](auto& s) { return s.ReadMswSerial(1); },
                                      RC_NO_REPLY,
                                      {},
                                      kClosed},
                             ReplyRow{"SerialReplyForAnotherItem",
                                      PrinterKind::Sw,
                                      vp::Bytes{0x37, 0x33, 0x31, 0x1F, 0x30, 0x00},
                                      [](auto& s) { return s.ReadSwSerial(2); },
                                      RC_BAD_REPLY,
                                      {},
                                      kClosed},
                             ReplyRow{"BluetoothModeFromPrinter", PrinterKind::NewMsw, std::nullopt,
                                      [](auto& s) { return s.ReadBluetooth('c'); }, RC_OK,
                                      [](auto& s) { s.m_nBtConnMode = 1; }, kOpen},
                             ReplyRow{"BluetoothPinFromPrinter", PrinterKind::NewMsw, std::nullopt,
                                      [](auto& s) { return s.ReadBluetooth('k'); }, RC_OK,
                                      [](auto& s) { s.m_strBtPin = "4826"; }, kOpen},
                             ReplyRow{"BluetoothSecurity", PrinterKind::NewMsw,
                                      vp::Bytes{0x37, 0x42, 's', '1', 0x00},
                                      [](auto& s) { return s.ReadBluetooth('s'); }, RC_OK,
                                      [](auto& s) { s.m_nBtSecurity = 1; }, kOpen},
                             ReplyRow{"BluetoothReplyLetterDecides", PrinterKind::NewMsw,
                                      Cat({{0x37, 0x42, 'd'}, "Cash desk", {0}}),
                                      [](auto& s) { return s.ReadBluetooth('c'); }, RC_OK,
                                      [](auto& s) { s.m_strBtName = "Cash desk"; }, kOpen},
                             ReplyRow{"BluetoothReplyBoundedByItsBuffer", PrinterKind::NewMsw,
                                      Cat({{0x37, 0x42, 'd'}, kLongText}),
                                      [](auto& s) { return s.ReadBluetooth('d'); }, RC_OK,
                                      [](auto& s) { s.m_strBtName = std::string(97, 'N'); }, kOpen},
                             ReplyRow{"BluetoothWrongMark",
                                      PrinterKind::NewMsw,
                                      vp::Bytes{0x37, 0x43, 'c', '2', 0},
                                      [](auto& s) { return s.ReadBluetooth('c'); },
                                      RC_NO_REPLY,
                                      {},
                                      kClosed},
                             ReplyRow{"BluetoothUnknownLetter",
                                      PrinterKind::NewMsw,
                                      vp::Bytes{0x37, 0x42, 'x', '2', 0},
                                      [](auto& s) { return s.ReadBluetooth('c'); },
                                      RC_BAD_REPLY,
                                      {},
                                      kClosed},
                             ReplyRow{"BluetoothModeWithoutValue",
                                      PrinterKind::NewMsw,
                                      vp::Bytes{0x37, 0x42, 'c'},
                                      [](auto& s) { return s.ReadBluetooth('c'); },
                                      RC_BAD_REPLY,
                                      {},
                                      kClosed},
                             ReplyRow{"SerialDataBitsSeven", PrinterKind::Msw,
                                      vp::Bytes{0x37, 0x33, 0x34, 0x1F, '7', 0x00},
                                      [](auto& s) { return s.ReadMswSerial(4); }, RC_OK,
                                      [](auto& s) { s.Databit = 7; }, kOpen},
                             ReplyRow{"RfInterfaceTwo", PrinterKind::NewMsw,
                                      SwitchReply("00000010"),
                                      [](auto& s) { return s.ReadRfInterface(); }, RC_OK,
                                      [](auto& s) { s.m_nRfInterface = 2; }, kOpen},
                             ReplyRow{"RfInterfaceAfterNoise", PrinterKind::NewMsw,
                                      Cat({{0x41, 0x37, 0x42}, SwitchReply("00000001")}),
                                      [](auto& s) { return s.ReadRfInterface(); }, RC_OK,
                                      [](auto& s) { s.m_nRfInterface = 1; }, kOpen},
                             ReplyRow{"RfInterfaceFromPrinter",
                                      PrinterKind::NewMsw,
                                      std::nullopt,
                                      [](auto& s) {
                                          s.m_nRfInterface = 2;
                                          return s.ReadRfInterface();
                                      },
                                      RC_OK,
                                      {},
                                      kOpen},
                             ReplyRow{"RfInterfaceReplyBoundedByItsBuffer", PrinterKind::NewMsw,
                                      Cat({{0x37, 0x21}, "00000010", kLongText}),
                                      [](auto& s) { return s.ReadRfInterface(); }, RC_OK,
                                      [](auto& s) { s.m_nRfInterface = 2; }, kOpen},
                             ReplyRow{"RfInterfaceCutShort",
                                      PrinterKind::NewMsw,
                                      Cat({{0x37, 0x21}, "000000", {0}}),
                                      [](auto& s) { return s.ReadRfInterface(); },
                                      RC_BAD_VALUE,
                                      {},
                                      kOpen},
                             ReplyRow{"SentinelTexts", PrinterKind::NewMsw,
                                      vp::Bytes{0x37, 0x81, 0x32, 0x25, 0x1F, 0x3F, 0x00},
                                      [](auto& s) { return s.ReadSentinel(2); }, RC_OK,
                                      [](auto& s) {
                                          s.m_strTrack2Start = "%";
                                          s.m_strTrack2End = "?";
                                      },
                                      kOpen},
                             ReplyRow{"SentinelEmptyTextsReplaceOldOnes", PrinterKind::Sw,
                                      vp::Bytes{0x37, 0x81, 0x32, 0x1F, 0x00},
                                      [](auto& s) { return s.ReadSentinel(2); }, RC_OK,
                                      [](auto& s) { s.m_strTrack2Start.clear(); }, kOpen},
                             ReplyRow{"SentinelFromPrinter", PrinterKind::Msw, std::nullopt,
                                      [](auto& s) { return s.ReadSentinel(1); }, RC_OK,
                                      [](auto& s) {
                                          s.m_strTrack1Start = "%";
                                          s.m_strTrack1End = "?";
                                      },
                                      kOpen},
                             ReplyRow{"SentinelReportWithoutMarks",
                                      PrinterKind::NewMsw,
                                      vp::Bytes{0x41, 0x42, 0x43, 0},
                                      [](auto& s) { return s.ReadSentinel(2); },
                                      RC_OK,
                                      {},
                                      kOpen},
                             ReplyRow{"SentinelReplyBoundedByItsBuffer", PrinterKind::NewMsw,
                                      Cat({{0x37, 0x81, 0x32}, kLongText}),
                                      [](auto& s) { return s.ReadSentinel(2); }, RC_OK,
                                      [](auto& s) { s.m_strTrack2Start = std::string(29, 'N'); },
                                      kOpen}),
                         [](const auto& info) { return std::string(info.param.name); });

// Replies that never complete run into the two-second budget; kept together
// and few, since each costs that long.
INSTANTIATE_TEST_SUITE_P(TimeOuts, ReplyTest,
                         ::testing::Values(ReplyRow{"SwitchReplyOneByteShort",
                                                    PrinterKind::Msw,
                                                    Cat({{0x37, 0x21}, "0000101"}),
                                                    [](auto& s) { return s.ReadMsw(3); },
                                                    RC_NO_REPLY,
                                                    {},
                                                    kClosed},
                                           ReplyRow{"SwitchReplyOneByteLong",
                                                    PrinterKind::Msw,
                                                    Cat({{0x37, 0x21}, "00001011", {0x00, 0x00}}),
                                                    [](auto& s) { return s.ReadMsw(3); },
                                                    RC_NO_REPLY,
                                                    {},
                                                    kClosed},
                                           ReplyRow{"SilentSettingMode",
                                                    PrinterKind::Sw,
                                                    vp::Bytes{},
                                                    [](auto& s) { return s.BeginSwSetting(); },
                                                    RC_NO_REPLY,
                                                    {},
                                                    kClosed},
                                           ReplyRow{"SilentRfInterface",
                                                    PrinterKind::NewMsw,
                                                    vp::Bytes{},
                                                    [](auto& s) { return s.ReadRfInterface(); },
                                                    RC_BAD_VALUE,
                                                    {},
                                                    kOpen},
                                           ReplyRow{"SilentSentinel",
                                                    PrinterKind::NewMsw,
                                                    vp::Bytes{},
                                                    [](auto& s) { return s.ReadSentinel(2); },
                                                    RC_OK,
                                                    {},
                                                    kOpen}),
                         [](const auto& info) { return std::string(info.param.name); });

struct RefusalRow {
    const char* name;
    PrinterKind printer;
    Change prepare;
    Op op;
    int rc;
    bool portOpen;
};

class RefusalTest : public SettingsOverTcp, public ::testing::WithParamInterface<RefusalRow> {};

TEST_P(RefusalTest, SendsNothing) {
    const RefusalRow& row = GetParam();
    Use(row.printer);
    if (row.prepare) {
        row.prepare(settings);
    }
    EXPECT_EQ(row.op(settings), row.rc);
    EXPECT_EQ(PortOpen(), row.portOpen);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_TRUE(Received().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Settings, RefusalTest,
    ::testing::Values(RefusalRow{"BlackMarkOnOldFirmware", PrinterKind::Msw,
                                 [](auto& s) { s.BlackMarkSensor = 0x3130; },
                                 [](auto& s) { return s.WriteMsw(81); }, RC_NOT_SUPPORTED, kClosed},
                      RefusalRow{"BlackMarkNeverRead", PrinterKind::NewMsw,
                                 [](auto& s) { s.BlackMarkSensor = 0; },
                                 [](auto& s) { return s.WriteMsw(81); }, RC_OK, kOpen},
                      RefusalRow{"BlackMarkWithoutSelection", PrinterKind::NewMsw,
                                 [](auto& s) { s.BlackMarkSensor = -1; },
                                 [](auto& s) { return s.WriteMsw(81); }, RC_OK, kOpen},
                      RefusalRow{"SwDialectHasNoSwitch81",
                                 PrinterKind::Sw,
                                 {},
                                 [](auto& s) { return s.WriteSw(81); },
                                 RC_NOT_SUPPORTED,
                                 kOpen},
                      RefusalRow{"ReadRfOnOldFirmware",
                                 PrinterKind::Sw,
                                 {},
                                 [](auto& s) { return s.ReadRfInterface(); },
                                 RC_NOT_SUPPORTED,
                                 kOpen},
                      RefusalRow{"WriteRfOnOldFirmware",
                                 PrinterKind::Msw,
                                 {},
                                 [](auto& s) { return s.WriteRfInterface(); },
                                 RC_NOT_SUPPORTED,
                                 kOpen},
                      RefusalRow{"ReadSentinelTrack4",
                                 PrinterKind::NewMsw,
                                 {},
                                 [](auto& s) { return s.ReadSentinel(4); },
                                 RC_NOT_SUPPORTED,
                                 kOpen},
                      RefusalRow{"WriteSentinelTrack0",
                                 PrinterKind::NewMsw,
                                 {},
                                 [](auto& s) { return s.WriteSentinel(0); },
                                 RC_NOT_SUPPORTED,
                                 kOpen},
                      RefusalRow{"SerialItemOutOfRange",
                                 PrinterKind::Msw,
                                 {},
                                 [](auto& s) { return s.WriteMswSerial(5); },
                                 RC_NOT_SUPPORTED,
                                 kOpen},
                      RefusalRow{"SentinelStartTooLong", PrinterKind::NewMsw,
                                 [](auto& s) { s.m_strTrack2Start = std::string(13, 'S'); },
                                 [](auto& s) { return s.WriteSentinel(2); }, RC_BAD_VALUE, kOpen},
                      RefusalRow{"SentinelEndTooLong", PrinterKind::NewMsw,
                                 [](auto& s) { s.m_strTrack3End = std::string(13, 'E'); },
                                 [](auto& s) { return s.WriteSentinel(3); }, RC_BAD_VALUE, kOpen},
                      RefusalRow{"BluetoothTextsTooLong", PrinterKind::NewMsw,
                                 [](auto& s) {
                                     s.m_strBtPin = std::string(50, '1');
                                     s.m_strBtName = std::string(44, 'N');
                                 },
                                 [](auto& s) { return s.WriteBluetooth(); }, RC_BAD_VALUE, kOpen}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SettingsOverTcp, LongestTextsThatFitAreSentWhole) {
    Use(PrinterKind::NewMsw);
    settings.m_strBtPin = std::string(50, '1');
    settings.m_strBtName = std::string(43, 'N');
    settings.m_strTrack1Start = std::string(12, 'S');
    settings.m_strTrack1End = std::string(12, 'E');
    EXPECT_EQ(settings.WriteBluetooth(), RC_OK);
    EXPECT_EQ(settings.WriteSentinel(1), RC_OK);
    EXPECT_EQ(Sent(100 + 2 * (7 + 12)).size(), 138u);
    ASSERT_TRUE(Eventually([&] { return Memory().trackEnd[0] == std::string(12, 'E'); }));
    const vp::SettingsMemory memory = Memory();
    EXPECT_EQ(memory.btName, settings.m_strBtName);
    EXPECT_EQ(memory.btPin, settings.m_strBtPin);
    EXPECT_EQ(memory.trackStart[0], settings.m_strTrack1Start);
}

TEST(SettingsClosedPortTest, EveryOperationRefusesAClosedPort) {
    CPrinterDevice device;
    CPrinterSettings settings;
    const std::vector<std::pair<const char*, Op>> ops{
        {"EndMsw", [](auto& s) { return s.EndMswSetting(); }},
        {"ReadMsw", [](auto& s) { return s.ReadMsw(1); }},
        {"WriteMsw", [](auto& s) { return s.WriteMsw(1); }},
        {"BeginSw", [](auto& s) { return s.BeginSwSetting(); }},
        {"EndSw", [](auto& s) { return s.EndSwSetting(); }},
        {"ReadSw", [](auto& s) { return s.ReadSw(1); }},
        {"WriteSw", [](auto& s) { return s.WriteSw(1); }},
        {"WriteSwUnchanged", [](auto& s) { return s.WriteSwUnchanged(7); }},
        {"ReadMswSerial", [](auto& s) { return s.ReadMswSerial(1); }},
        {"ReadSwSerial", [](auto& s) { return s.ReadSwSerial(1); }},
        {"WriteMswSerial", [](auto& s) { return s.WriteMswSerial(1); }},
        {"WriteSwSerial", [](auto& s) { return s.WriteSwSerial(); }},
        {"ReadBluetooth", [](auto& s) { return s.ReadBluetooth('c'); }},
        {"WriteBluetooth", [](auto& s) { return s.WriteBluetooth(); }},
        {"ReadRfInterface", [](auto& s) { return s.ReadRfInterface(); }},
        {"WriteRfInterface", [](auto& s) { return s.WriteRfInterface(); }},
        {"ReadSentinel", [](auto& s) { return s.ReadSentinel(1); }},
        {"WriteSentinel", [](auto& s) { return s.WriteSentinel(1); }},
        {"SetFactoryDefault", [](auto& s) { return s.SetFactoryDefault(); }},
    };
    for (CPrinterDevice* target : {&device, static_cast<CPrinterDevice*>(nullptr)}) {
        settings.m_pDevice = target;
        for (const auto& [name, op] : ops) {
            EXPECT_EQ(op(settings), RC_PORT_CLOSED) << name;
        }
        // Starting setting mode does not look at the port first; its write fails.
        EXPECT_EQ(settings.BeginMswSetting(), RC_WRITE_FAILED);
    }
}

// A value byte that is missing, or not one of the digits the item has, is
// a bad reply: the port closes and the field keeps what it held, so that a
// following write run cannot send garbage back.
INSTANTIATE_TEST_SUITE_P(BadValues, ReplyTest,
                         ::testing::Values(ReplyRow{"BluetoothModeTerminatorOnly",
                                                    PrinterKind::NewMsw,
                                                    vp::Bytes{0x37, 0x42, 'c', 0x00},
                                                    [](auto& s) { return s.ReadBluetooth('c'); },
                                                    RC_BAD_REPLY,
                                                    {},
                                                    kClosed},
                                           ReplyRow{"BluetoothModeBeyondThree",
                                                    PrinterKind::NewMsw,
                                                    vp::Bytes{0x37, 0x42, 'c', '4', 0x00},
                                                    [](auto& s) { return s.ReadBluetooth('c'); },
                                                    RC_BAD_REPLY,
                                                    {},
                                                    kClosed},
                                           ReplyRow{"BluetoothSecurityBeyondOne",
                                                    PrinterKind::NewMsw,
                                                    vp::Bytes{0x37, 0x42, 's', '2', 0x00},
                                                    [](auto& s) { return s.ReadBluetooth('s'); },
                                                    RC_BAD_REPLY,
                                                    {},
                                                    kClosed},
                                           ReplyRow{"SerialParityMissing",
                                                    PrinterKind::Msw,
                                                    vp::Bytes{0x37, 0x33, 0x32, 0x1F, 0x00},
                                                    [](auto& s) { return s.ReadMswSerial(2); },
                                                    RC_BAD_REPLY,
                                                    {},
                                                    kClosed},
                                           ReplyRow{"SerialParityBeyondTwo",
                                                    PrinterKind::Sw,
                                                    vp::Bytes{0x37, 0x33, 0x32, 0x1F, '3', 0x00},
                                                    [](auto& s) { return s.ReadSwSerial(2); },
                                                    RC_BAD_REPLY,
                                                    {},
                                                    kClosed},
                                           ReplyRow{"SerialFlowControlBeyondOne",
                                                    PrinterKind::Msw,
                                                    vp::Bytes{0x37, 0x33, 0x33, 0x1F, '2', 0x00},
                                                    [](auto& s) { return s.ReadMswSerial(3); },
                                                    RC_BAD_REPLY,
                                                    {},
                                                    kClosed},
                                           ReplyRow{"SerialDataBitsNine",
                                                    PrinterKind::Msw,
                                                    vp::Bytes{0x37, 0x33, 0x34, 0x1F, '9', 0x00},
                                                    [](auto& s) { return s.ReadMswSerial(4); },
                                                    RC_BAD_REPLY,
                                                    {},
                                                    kClosed},
                                           ReplyRow{"SerialRateMissing",
                                                    PrinterKind::Msw,
                                                    vp::Bytes{0x37, 0x33, 0x31, 0x1F, 0x00},
                                                    [](auto& s) { return s.ReadMswSerial(1); },
                                                    RC_BAD_REPLY,
                                                    {},
                                                    kClosed},
                                           ReplyRow{"SerialRateNotANumber",
                                                    PrinterKind::Msw,
                                                    Cat({{0x37, 0x33, 0x31, 0x1F}, "96x0", {0}}),
                                                    [](auto& s) { return s.ReadMswSerial(1); },
                                                    RC_BAD_REPLY,
                                                    {},
                                                    kClosed}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace printdeck::test
