#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "NvPrinterFixture.h"
#include "nvimage/NvOperationSequence.h"

namespace printdeck {
namespace {

using test::NvPrinterTest;
using Kind = NvStepOutcome::Kind;

const char* const kWriteFailed = " Failed to write data!\r\nPlease check your printer.";
const char* const kStopped = "Download process is stoped...";

// Drives a sequence step by step, as the window's timers would, and keeps
// what a test wants to see of each step.
struct Trace {
    std::vector<int> steps;     // steps run, in order
    std::vector<int> delays;    // delay asked for after each step
    std::vector<int> progress;  // m_nProgress after each step
    Kind end = Kind::Continue;
};

Trace Drive(CNvOperationSequence& sequence) {
    Trace trace;
    NvStepOutcome outcome = sequence.Start();
    while (outcome.kind == Kind::Continue) {
        trace.steps.push_back(outcome.nextStep);
        outcome = sequence.RunStep(outcome.nextStep);
        trace.delays.push_back(outcome.delayMs);
        trace.progress.push_back(sequence.m_nProgress);
    }
    trace.end = outcome.kind;
    return trace;
}

class NvOperationSequenceTest : public NvPrinterTest {
protected:
    // Every point shown: percent and label.
    std::vector<std::pair<int, std::string>> m_points;

    void Watch(CNvOperationSequence& sequence) {
        sequence.SetProgressCallback([this](int percent, const std::string& label) {
            m_points.emplace_back(percent, label);
        });
    }
    bool Identified() {
        const auto events = Events();
        return std::any_of(events.begin(), events.end(),
                           [](const vp::CommandEvent& event) { return event.handler == "model"; });
    }
};

struct ChainRow {
    const char* name;
    int operation;
    std::vector<int> steps;
    const char* finalLabel;
    std::vector<std::string> listAfter;     // the host's list; it starts as {"10", "11"}
    std::vector<std::string> printerAfter;  // the printer holds 10 and 11 at first
    std::map<std::string, int> prints;
};

void PrintTo(const ChainRow& row, std::ostream* os) {
    *os << row.name;
}

class ChainTest : public NvOperationSequenceTest, public ::testing::WithParamInterface<ChainRow> {};

TEST_P(ChainTest, RunsItsStepsAndEndsWithAFullBar) {
    const ChainRow& row = GetParam();
    StoreNvKeyCodes({"10", "11"});
    m_list.m_NvAddresses = {"10", "11"};
    CNvOperationSequence sequence(m_list, row.operation);
    sequence.m_strAddress = "10";
    Watch(sequence);

    const Trace trace = Drive(sequence);

    EXPECT_EQ(trace.end, Kind::Finished) << sequence.m_strResult;
    EXPECT_EQ(trace.steps, row.steps);
    EXPECT_EQ(sequence.m_strLabel, row.finalLabel);
    EXPECT_EQ(m_list.m_NvAddresses, row.listAfter);
    const vp::NvMemory nv = NvOnce([&](const vp::NvMemory& memory) {
        return memory.KeyCodes() == row.printerAfter && memory.keyCodePrints == row.prints;
    });
    EXPECT_EQ(nv.KeyCodes(), row.printerAfter);
    EXPECT_EQ(nv.keyCodePrints, row.prints);
    ASSERT_FALSE(m_points.empty());
    EXPECT_EQ(m_points.back().first, 100);
    EXPECT_GE(sequence.m_nProgress, 100);
    EXPECT_EQ(m_list.m_bIdentified, 1);
    EXPECT_TRUE(m_device.m_Port.m_bOpen);
}

INSTANTIATE_TEST_SUITE_P(
    Operations, ChainTest,
    ::testing::Values(
        ChainRow{"ReadAddresses",
                 NvReadAddresses,
                 {1, 1000, 9999},
                 "Progressing...",
                 {"10", "11"},
                 {"10", "11"},
                 {}},
        ChainRow{"DeleteSelected",
                 NvDeleteSelected,
                 {1, 1001, 1000, 9999},
                 "Delete selected NV image...",
                 {"11"},
                 {"11"},
                 {}},
        // The read after the delete finds no image, which is no failure.
        ChainRow{
            "DeleteAll", NvDeleteAll, {1, 1002, 1000, 9999}, "Delete all NV image...", {}, {}, {}},
        ChainRow{"EmptyDownload",
                 NvStartDownload,
                 {1, 1003, 2000, 9999},
                 "Finish download...",
                 {"10", "11"},
                 {"10", "11"},
                 {}},
        ChainRow{"PrintAll",
                 NvPrintAll,
                 {1, 1004, 9999},
                 "Print all NV image...",
                 {"10", "11"},
                 {"10", "11"},
                 {{"10", 1}, {"11", 1}}},
        // Its advances add up to more than the bar holds.
        ChainRow{"PrintSelected",
                 NvPrintSelected,
                 {1, 1005, 9999},
                 "Print selected NV image...",
                 {"10", "11"},
                 {"10", "11"},
                 {{"10", 1}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(NvRecordAdvanceTest, ShareOfSeventyPointsTruncatedInSinglePrecision) {
    const struct {
        std::uint32_t bytes, total;
        int points;
    } rows[] = {
        {1000, 10000, 7},
        {2000, 10000, 14},
        {7000, 10000, 49},
        // 46.99999999999999 in double precision, 47 in single precision.
        {47, 70, 47},
        {10, 0, 0},
        {0, 0, 0},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(CNvOperationSequence::RecordAdvance(row.bytes, row.total), row.points)
            << row.bytes << " of " << row.total;
    }
}

TEST_F(NvOperationSequenceTest, DownloadPacesRecordsByFamily) {
    const struct {
        const char* name;
        bool indexed;
        int recordDelay;
        vp::Bytes header;
    } rows[] = {
        {"KeyCode", false, 1000, {}},
        // L = 10000 record bytes + 2.
        {"Indexed", true, 100, {0x08, 0x5E, 0x37, 0x12, 0x27, 0x00, 0x00, 0x43, 0x03}},
    };
    const CNvDownloadRecord records[] = {FilledRecord("one", 1000), FilledRecord("two", 2000),
                                         FilledRecord("three", 7000)};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        if (row.indexed) {
            UseIndexedPrinter();
        }
        m_device.m_Port.Close();
        m_list.m_bIdentified = 0;
        CNvOperationSequence sequence(m_list, NvStartDownload);
        for (const CNvDownloadRecord& record : records) {
            sequence.m_Records.push_back(&record);
        }
        m_points.clear();
        Watch(sequence);
        ClearReceived();

        const Trace trace = Drive(sequence);

        ASSERT_EQ(trace.end, Kind::Finished) << sequence.m_strResult;
        EXPECT_EQ(trace.steps, (std::vector<int>{1, 1003, 2000, 2000, 2000, 2000, 9999}));
        // Steps 2 to 4 send the records.
        EXPECT_EQ(trace.progress[2] - trace.progress[1], 7);
        EXPECT_EQ(trace.progress[3] - trace.progress[2], 14);
        EXPECT_EQ(trace.progress[4] - trace.progress[3], 49);
        EXPECT_EQ(std::vector<int>(trace.delays.begin() + 2, trace.delays.begin() + 5),
                  std::vector<int>(3, row.recordDelay));
        const auto labelled = std::find_if(m_points.begin(), m_points.end(), [](const auto& point) {
            return point.second == "two Downloading...";
        });
        EXPECT_NE(labelled, m_points.end());

        vp::Bytes expected = row.header;
        expected.resize(row.header.size() + 10000, 'A');
        ASSERT_TRUE(WaitForReceived(expected.size()));
        const vp::Bytes received = Received();
        EXPECT_TRUE(std::search(received.begin(), received.end(), expected.begin(),
                                expected.end()) != received.end());
    }
}

TEST_F(NvOperationSequenceTest, IdentifiesOncePerManagerUse) {
    CNvOperationSequence first(m_list, NvReadAddresses);
    ASSERT_TRUE(first.Run()) << first.m_strResult;
    EXPECT_TRUE(Identified());

    ClearReceived();
    CNvOperationSequence second(m_list, NvReadAddresses);
    ASSERT_TRUE(second.Run()) << second.m_strResult;
    EXPECT_FALSE(Identified());
    EXPECT_EQ(second.m_nProgress, 100);
}

TEST_F(NvOperationSequenceTest, WaitsThroughTheDeviceClock) {
    CNvOperationSequence sequence(m_list, NvPrintAll);
    StoreNvKeyCodes({"10"});
    m_list.m_NvAddresses = {"10"};
    ASSERT_TRUE(sequence.Run()) << sequence.m_strResult;
    const std::vector<std::uint32_t> sleeps = m_clock.Sleeps();
    // Before each of the three steps, and 2 ms per point that was not
    // printed at 0 ms.
    EXPECT_EQ(std::count(sleeps.begin(), sleeps.end(), 100u), 3);
    EXPECT_EQ(std::count(sleeps.begin(), sleeps.end(), 2u), 15 + 5);
}

struct FailureRow {
    const char* name;
    std::function<void(CPrinterDevice&, test::VirtualPrinterRunner&)> arrange;
    int operation;
    std::string address;
    std::string message;
};

TEST_F(NvOperationSequenceTest, FailingStepsLeaveTheirMessage) {
    const FailureRow rows[] = {
        {"PortCannotOpen",
         [](CPrinterDevice& device, test::VirtualPrinterRunner&) {
             device.m_nBaudRate = 1;  // a TCP port nobody listens on
             device.ApplyPortSettings();
         },
         NvReadAddresses, "", "Port open error!"},
        {"UnknownModel",
         [](CPrinterDevice&, test::VirtualPrinterRunner& t) { t.SetModel("_XYZ-T200"); },
         NvReadAddresses, "", "Printer model is not matched!"},
        {"AddressListUnreadable",
         [](CPrinterDevice&, test::VirtualPrinterRunner& t) {
             t.Printer().State().nv.Update([](vp::NvMemory& nv) {
                 nv.scriptedListReply = {{0x41, 0x42, 0x43, 0x44, 0x00}};
             });
         },
         NvReadAddresses, "", "Failed to read NV image address!"},
        {"DeleteSelectedOnIndexedPrinter",
         [](CPrinterDevice&, test::VirtualPrinterRunner& t) {
             t.SetFirmware(test::kIndexedFirmware);
         },
         NvDeleteSelected, "00", " Not supported operation!"},
        {"PrintShortAddress", [](CPrinterDevice&, test::VirtualPrinterRunner&) {}, NvPrintSelected,
         "5", kWriteFailed},
        {"PrintAllWithoutAddresses", [](CPrinterDevice&, test::VirtualPrinterRunner&) {},
         NvPrintAll, "", "The printer holds no NV image."},
    };
    for (const FailureRow& row : rows) {
        SCOPED_TRACE(row.name);
        Connect(m_device);
        SetModel("_MRQ-T200");
        SetFirmware("_VER V1.23");
        Printer().State().nv.Set({});
        m_device.m_Port.Close();
        m_list.m_bIdentified = 0;
        m_list.m_NvAddresses.clear();
        row.arrange(m_device, *this);
        CNvOperationSequence sequence(m_list, row.operation);
        sequence.m_strAddress = row.address;

        EXPECT_FALSE(sequence.Run());
        EXPECT_EQ(sequence.m_strResult, row.message);
    }
}

TEST_F(NvOperationSequenceTest, CancelDuringIndexedDownloadWaitsForItsLastRecord) {
    const struct {
        const char* name;
        bool indexed;
        std::vector<int> steps;  // the last one is cancelled before it runs
        std::size_t stored;
    } rows[] = {
        // Each key-code record is a command of its own.
        {"KeyCode", false, {1, 1003, 2000, 2000}, 1},
        // The header announced three blocks: stopping early would leave the
        // printer reading the next commands as image data.
        {"Indexed", true, {1, 1003, 2000, 2000, 2000, 2000}, 3},
    };
    CRaster raster;
    raster.m_nWidth = 8;
    raster.m_nHeight = 2;
    raster.m_Bytes = {0xF0, 0x0F};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        if (row.indexed) {
            UseIndexedPrinter();
        }
        Printer().State().nv.Set({});
        m_device.m_Port.Close();
        m_list.m_bIdentified = 0;
        std::vector<CNvDownloadRecord> records(3);
        for (std::size_t i = 0; i < records.size(); ++i) {
            const char code = static_cast<char>('1' + i);
            ASSERT_EQ(row.indexed ? FrameIndexedBlock(raster, records[i].m_Data)
                                  : FrameKeyCodeRecord(raster, code, code, records[i].m_Data),
                      RC_OK);
        }
        CNvOperationSequence sequence(m_list, NvStartDownload);
        for (const CNvDownloadRecord& record : records) {
            sequence.m_Records.push_back(&record);
        }
        sequence.SetProgressCallback([&sequence](int, const std::string& label) {
            if (label == " Downloading...") {
                sequence.RequestCancel();
            }
        });

        const Trace trace = Drive(sequence);

        EXPECT_EQ(trace.end, Kind::Cancelled);
        EXPECT_EQ(trace.steps, row.steps);
        EXPECT_EQ(sequence.m_strResult, kStopped);
        const vp::NvMemory nv = NvOnce([&](const vp::NvMemory& memory) {
            return memory.indexedGraphics.size() + memory.keyCodeGraphics.size() == row.stored;
        });
        EXPECT_EQ(nv.indexedGraphics.size() + nv.keyCodeGraphics.size(), row.stored);
        EXPECT_EQ(nv.malformedDownloads, 0);
    }
}

TEST_F(NvOperationSequenceTest, CancelTakesEffectBetweenSteps) {
    StoreNvKeyCodes({"10"});
    m_list.m_NvAddresses = {"10"};
    CNvOperationSequence sequence(m_list, NvPrintAll);
    // Asked for during the first step, honoured before the second.
    sequence.SetProgressCallback([&sequence](int percent, const std::string&) {
        if (percent == 5) {
            sequence.RequestCancel();
        }
    });

    EXPECT_FALSE(sequence.Run());
    EXPECT_EQ(sequence.m_strResult, kStopped);
    EXPECT_EQ(m_list.m_bIdentified, 1);
    EXPECT_TRUE(Nv().keyCodePrints.empty());

    // A new start forgets the request.
    sequence.SetProgressCallback(nullptr);
    EXPECT_TRUE(sequence.Run()) << sequence.m_strResult;
    EXPECT_EQ(NvOnce([](const vp::NvMemory& nv) {
                  return !nv.keyCodePrints.empty();
              }).keyCodePrints.at("10"),
              1);
}

}  // namespace
}  // namespace printdeck
