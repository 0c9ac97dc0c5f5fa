#include <gtest/gtest.h>

#include <functional>
#include <regex>
#include <string>
#include <vector>

#include "FakeBitmapLoader.h"
#include "NvPrinterFixture.h"
#include "app/ConfigStore.h"
#include "nvimage/NvRaster.h"

namespace printdeck {
namespace {

using test::NvPrinterTest;
using vp::Bytes;

constexpr std::uint8_t kAck = 0x06;
constexpr std::uint8_t kCan = 0x18;
const Bytes kListQuery = {0x1D, 0x28, 0x4C, 0x04, 0x00, 0x30, 0x40, 0x4B, 0x43};

Bytes Concat(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& part : parts) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

class NvCommandsTest : public NvPrinterTest {
protected:
    void SetUp() override { OpenPort(); }
};

// --- key-code list replies -------------------------------------------------

struct ListReplyRow {
    const char* name;
    std::vector<Bytes> blocks;
    int result;
    std::vector<std::string> addresses;  // the list starts as {"99"}
    Bytes answers;                       // what the host said to each block
};

void PrintTo(const ListReplyRow& row, std::ostream* os) {
    *os << row.name;
}

Bytes StrayThenReply(std::size_t stray) {
    Bytes block(stray, 0x55);
    const Bytes reply = {0x37, 0x72, 0x40, 0x31, 0x32, 0x00};
    block.insert(block.end(), reply.begin(), reply.end());
    return block;
}

class ListReplyTest : public NvCommandsTest, public ::testing::WithParamInterface<ListReplyRow> {};

TEST_P(ListReplyTest, ReadsKeyCodes) {
    const ListReplyRow& row = GetParam();
    Printer().State().nv.Update([&](vp::NvMemory& nv) { nv.scriptedListReply = row.blocks; });
    m_list.m_NvAddresses = {"99"};

    EXPECT_EQ(m_list.ReadKeyCodes(), row.result);
    EXPECT_EQ(m_list.m_NvAddresses, row.addresses);
    ASSERT_TRUE(WaitForReceived(kListQuery.size() + row.answers.size()));
    EXPECT_EQ(Received(), Concat({kListQuery, row.answers}));
    EXPECT_EQ(m_device.m_Port.m_bOpen != 0, row.result != RC_BAD_REPLY);
}

INSTANTIATE_TEST_SUITE_P(
    Replies, ListReplyTest,
    ::testing::Values(
        ListReplyRow{"NoImages", {{0x37, 0x72, 0x40, 0x00}}, RC_NO_NV_IMAGES, {}, {kAck}},
        ListReplyRow{"TwoCodesInReplyOrder",
                     {{0x37, 0x72, 0x40, 0x31, 0x32, 0x41, 0x42, 0x00}},
                     RC_OK,
                     {"12", "AB"},
                     {kAck}},
        ListReplyRow{"StrayBytesBeforeTheMark", {StrayThenReply(200)}, RC_OK, {"12"}, {kAck}},
        ListReplyRow{"SecondBlockAfterStatusA",
                     {{0x37, 0x72, 0x41, 0x31, 0x30, 0x31, 0x31, 0x00},
                      {0x37, 0x72, 0x40, 0x32, 0x30, 0x00}},
                     RC_OK,
                     {"10", "11", "20"},
                     {kAck, kAck}},
        ListReplyRow{"LoneByteIsNoKeyCode",
                     {{0x37, 0x72, 0x40, 0x31, 0x32, 0x33, 0x00}},
                     RC_OK,
                     {"12"},
                     {kAck}},
        ListReplyRow{"LoneByteOnlyIsAnEmptyList",
                     {{0x37, 0x72, 0x40, 0x31, 0x00}},
                     RC_NO_NV_IMAGES,
                     {},
                     {kAck}},
        ListReplyRow{"EmptyBlockAfterAFullOne",
                     {{0x37, 0x72, 0x41, 0x31, 0x30, 0x00}, {0x37, 0x72, 0x41, 0x00}},
                     RC_OK,
                     {"10"},
                     {kAck, kAck}},
        ListReplyRow{
            "MarkBeyondTheSearchLimit", {StrayThenReply(250)}, RC_BAD_REPLY, {"99"}, {kCan}},
        ListReplyRow{"NoMark", {{0x41, 0x42, 0x43, 0x44, 0x00}}, RC_BAD_REPLY, {"99"}, {kCan}},
        ListReplyRow{"TooShort", {{0x37, 0x72, 0x00}}, RC_BAD_REPLY, {"99"}, {kCan}},
        ListReplyRow{"BlockOutgrowsTheBuffer",
                     {Concat({{0x37, 0x72, 0x40}, Bytes(1100, 0x31)})},
                     RC_BAD_REPLY,
                     {"99"},
                     {kCan}},
        ListReplyRow{"BlockFillsTheBufferWithoutEnd",
                     {Concat({{0x37, 0x72, 0x40}, Bytes(1021, 0x31)})},
                     RC_BAD_REPLY,
                     {"99"},
                     {kCan}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(NvCommandsTest, DefinedImagesAreListedBackOverSeveralBlocks) {
    test::FakeBitmapLoader loader;
    loader.m_Files["logo.bmp"] = test::SolidBitmap(20, 3, 0, 0, 0);
    m_list.SetBitmapLoader(&loader);
    CNvImage image;
    ASSERT_TRUE(m_list.LoadEntry(1, "logo.bmp", 0, image).Ok());
    for (const char* code : {"A1", "B2", "C3"}) {
        ASSERT_TRUE(m_list.MakeKeyCodeRecord(image, code).Ok());
    }
    for (const CNvDownloadRecord& record : m_list.m_DownloadQueue) {
        ASSERT_EQ(m_list.SendRecord(record), RC_OK);
    }
    Printer().State().nv.Update([](vp::NvMemory& nv) { nv.listBlockCodes = 2; });

    EXPECT_EQ(m_list.ReadKeyCodes(), RC_OK);
    EXPECT_EQ(m_list.m_NvAddresses, (std::vector<std::string>{"A1", "B2", "C3"}));
    EXPECT_EQ(NvOnce([](const vp::NvMemory& nv) { return nv.listAnswers.size() == 2; }).listAnswers,
              (Bytes{kAck, kAck}));
    EXPECT_EQ(Nv().Find("B2")->width, 20);
}

// --- sending ----------------------------------------------------------------

// Lengths of the runs of 'A' written, one per Write, from the log.
std::vector<std::size_t> LoggedWrites(const std::string& log) {
    std::vector<std::size_t> lengths;
    const std::regex write(R"(\[==>\] (A+))");
    for (auto it = std::sregex_iterator(log.begin(), log.end(), write);
         it != std::sregex_iterator(); ++it) {
        lengths.push_back(static_cast<std::size_t>((*it)[1].length()));
    }
    return lengths;
}

TEST_F(NvCommandsTest, RecordsGoOutInPiecesOf4096Bytes) {
    const struct {
        std::size_t size;
        std::vector<std::size_t> pieces;
    } rows[] = {{9000, {4096, 4096, 808}}, {4096, {4096}}, {4097, {4096, 1}}, {0, {}}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.size);
        std::filesystem::remove(m_files.LogPath());
        const Bytes sent =
            SentBy([&] { EXPECT_EQ(m_list.SendRecord(FilledRecord("r", row.size)), RC_OK); });
        EXPECT_EQ(sent, Bytes(row.size, 'A'));
        const std::vector<std::size_t> writes =
            LoggedWrites(test::ReadWholeFile(m_files.LogPath()));
        EXPECT_EQ(writes, row.pieces);
    }
}

TEST_F(NvCommandsTest, IndexedDownloadHeaderCountsTheBytesBehindIt) {
    UseIndexedPrinter();
    std::vector<std::uint8_t> first;
    std::vector<std::uint8_t> second;
    ASSERT_EQ(FrameIndexedBlock({112, 71, std::vector<std::uint8_t>(994, 0x0F)}, first), RC_OK);
    ASSERT_EQ(FrameIndexedBlock({104, 38, std::vector<std::uint8_t>(494, 0xF0)}, second), RC_OK);
    CNvDownloadRecord one;
    one.m_Data = first;
    CNvDownloadRecord two;
    two.m_Data = second;
    ASSERT_EQ(one.Length() + two.Length(), 1500u);

    const Bytes sent = SentBy([&] {
        EXPECT_EQ(m_list.SendIndexedHeader(2, 1500), RC_OK);
        EXPECT_EQ(m_list.SendRecord(one), RC_OK);
        EXPECT_EQ(m_list.SendRecord(two), RC_OK);
    });

    EXPECT_EQ(sent,
              Concat({{0x08, 0x5E, 0x37, 0xDE, 0x05, 0x00, 0x00, 0x43, 0x02}, first, second}));
    const vp::NvMemory nv =
        NvOnce([](const vp::NvMemory& memory) { return !memory.indexedGraphics.empty(); });
    ASSERT_EQ(nv.indexedGraphics.size(), 2u);
    EXPECT_EQ(nv.indexedGraphics[1].height, 38);
}

struct CommandRow {
    const char* name;
    std::function<int(CNvImageList&)> action;
    int result;
    Bytes bytes;
};

Bytes Repeated(const std::function<Bytes(int)>& command, int count) {
    Bytes all;
    for (int i = 0; i < count; ++i) {
        const Bytes one = command(i);
        all.insert(all.end(), one.begin(), one.end());
    }
    return all;
}

Bytes PrintIndexBytes(int index) {
    return {0x08, 0x5E, 0x4C, 0x04, 0x00, 0x45, static_cast<std::uint8_t>(index), 0x01, 0x01};
}

TEST_F(NvCommandsTest, CommandsAreByteExact) {
    const Bytes printAB = {0x1D, 0x28, 0x4C, 0x06, 0x00, 0x30, 0x45, 0x41, 0x42, 0x01, 0x01};
    const Bytes print10 = {0x1D, 0x28, 0x4C, 0x06, 0x00, 0x30, 0x45, 0x31, 0x30, 0x01, 0x01};
    const Bytes print11 = {0x1D, 0x28, 0x4C, 0x06, 0x00, 0x30, 0x45, 0x31, 0x31, 0x01, 0x01};
    const CommandRow rows[] = {
        {"PrintKeyCode", [](CNvImageList& l) { return l.PrintKeyCode("AB"); }, RC_OK, printAB},
        {"PrintKeyCodeUsesTwoCharacters", [](CNvImageList& l) { return l.PrintKeyCode("ABC"); },
         RC_OK, printAB},
        {"DeleteKeyCode",
         [](CNvImageList& l) { return l.DeleteKeyCode("AB"); },
         RC_OK,
         {0x1D, 0x28, 0x4C, 0x04, 0x00, 0x30, 0x42, 0x41, 0x42}},
        {"DeleteAllKeyCodes",
         [](CNvImageList& l) { return l.DeleteAllKeyCodes(); },
         RC_OK,
         {0x1D, 0x28, 0x4C, 0x05, 0x00, 0x30, 0x41, 0x43, 0x4C, 0x52}},
        {"PrintAllKeyCodesInListOrder",
         [](CNvImageList& l) {
             l.m_NvAddresses = {"10", "11"};
             return l.PrintAllKeyCodes();
         },
         RC_OK, Concat({print10, print11})},
        {"PrintAllKeyCodesWithoutAddresses",
         [](CNvImageList& l) {
             l.m_NvAddresses.clear();
             return l.PrintAllKeyCodes();
         },
         RC_NO_NV_IMAGES,
         {}},
        {"ShortAddressIsNotPrinted",
         [](CNvImageList& l) { return l.PrintKeyCode("5"); },
         RC_BAD_ADDRESS,
         {}},
        {"ShortAddressIsNotDeleted",
         [](CNvImageList& l) { return l.DeleteKeyCode("5"); },
         RC_BAD_ADDRESS,
         {}},
        {"PrintIndex", [](CNvImageList& l) { return l.PrintIndex(3); }, RC_OK, PrintIndexBytes(3)},
        {"PrintAllStoredIndexes",
         [](CNvImageList& l) {
             l.m_nStoredCount = 2;
             return l.PrintAllIndexes();
         },
         RC_OK, Repeated(PrintIndexBytes, 2)},
        {"PrintAllIndexesWithoutCountPrints78",
         [](CNvImageList& l) {
             l.m_nStoredCount = 0;
             return l.PrintAllIndexes();
         },
         RC_OK, Repeated(PrintIndexBytes, 78)},
        {"DeleteAllIndexes",
         [](CNvImageList& l) { return l.DeleteAllIndexes(); },
         RC_OK,
         {0x08, 0x5E, 0x4C, 0x01, 0x00, 0x41}},
    };
    for (const CommandRow& row : rows) {
        SCOPED_TRACE(row.name);
        int result = -1;
        EXPECT_EQ(SentBy([&] { result = row.action(m_list); }), row.bytes);
        EXPECT_EQ(result, row.result);
    }
}

TEST_F(NvCommandsTest, DeleteAllIndexesForgetsTheStoredCount) {
    CNvImageList::WriteStoredCount(kNvKey, 3);
    m_list.m_nStoredCount = 3;
    ASSERT_EQ(m_list.DeleteAllIndexes(), RC_OK);
    EXPECT_EQ(m_list.m_nStoredCount, 0);
    std::uint32_t stored = 99;
    EXPECT_TRUE(CConfigStore::ReadDwordValue(kNvKey, "Count", stored));
    EXPECT_EQ(stored, 0u);
}

TEST_F(NvCommandsTest, ClosedPortSendsNothing) {
    m_device.m_Port.Close();
    const std::function<int()> checked[] = {
        [&] { return m_list.ReadKeyCodes(); },           [&] { return m_list.ReadStoredIndexes(); },
        [&] { return m_list.SendIndexedHeader(1, 10); }, [&] { return m_list.PrintKeyCode("10"); },
        [&] { return m_list.PrintAllKeyCodes(); },       [&] { return m_list.PrintAllIndexes(); },
        [&] { return m_list.DeleteKeyCode("10"); },      [&] { return m_list.DeleteAllKeyCodes(); },
        [&] { return m_list.DeleteAllIndexes(); },
    };
    for (const auto& operation : checked) {
        EXPECT_EQ(operation(), RC_PORT_CLOSED);
    }
    // These two write at once; the write fails.
    EXPECT_EQ(m_list.SendRecord(FilledRecord("r", 10)), RC_WRITE_FAILED);
    EXPECT_EQ(m_list.PrintIndex(0), RC_WRITE_FAILED);
}

TEST_F(NvCommandsTest, StoredIndexesComeFromTheStoreCount) {
    const struct {
        const char* name;
        std::optional<std::uint32_t> count;
        int result;
        std::size_t listed;
        const char* last;
    } rows[] = {
        {"Missing", std::nullopt, RC_NO_NV_IMAGES, 1, "keep"},
        {"Three", 3, RC_OK, 3, "02"},
        {"DamagedIsBounded", 4000000000u, RC_OK, 255, "254"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        CConfigStore::DeleteValue(kNvKey, "Count");
        if (row.count) {
            CConfigStore::WriteDwordValue(kNvKey, "Count", *row.count);
        }
        m_list.m_NvAddresses = {"keep"};
        EXPECT_EQ(m_list.ReadStoredIndexes(), row.result);
        ASSERT_EQ(m_list.m_NvAddresses.size(), row.listed);
        EXPECT_EQ(m_list.m_NvAddresses.back(), row.last);
        EXPECT_EQ(m_list.m_NvAddresses.front(), row.listed == 1 ? "keep" : "00");
    }
}

// --- print files ------------------------------------------------------------

TEST_F(NvCommandsTest, PrintFileHoldsExactlyTheDownloadBytes) {
    m_list.m_DownloadQueue.push_back(FilledRecord("a", 1000));
    m_list.m_DownloadQueue.push_back(FilledRecord("b", 500));
    const auto path = m_files.Dir() / "out.prn";
    const std::string records(1500, 'A');

    ASSERT_EQ(m_list.WritePrintFile(path.string()), 1);
    EXPECT_EQ(test::ReadWholeFile(path), records);

    m_device.g_Getver = test::kIndexedVersion;
    ASSERT_EQ(m_list.WritePrintFile(path.string()), 1);
    EXPECT_EQ(test::ReadWholeFile(path),
              std::string("\x08\x5E\x37\xDE\x05\x00\x00\x43\x02", 9) + records);
}

TEST_F(NvCommandsTest, PrintFileFailuresAreReported) {
    m_list.m_DownloadQueue.push_back(FilledRecord("a", 100));
    EXPECT_EQ(m_list.WritePrintFile((m_files.Dir() / "missing" / "out.prn").string()), 0);
    if (std::filesystem::exists("/dev/full")) {
        EXPECT_EQ(m_list.WritePrintFile("/dev/full"), 0);
    }
}

}  // namespace
}  // namespace printdeck
