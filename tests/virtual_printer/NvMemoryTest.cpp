#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "LoopbackClient.h"
#include "support/VirtualPrinterFixture.h"

namespace printdeck::test {
namespace {

using namespace std::chrono_literals;
using vp::Bytes;

constexpr std::uint8_t kAck = 0x06;
constexpr std::uint8_t kCan = 0x18;
const Bytes kListQuery = {0x1D, 0x28, 0x4C, 0x04, 0x00, 0x30, 0x40, 0x4B, 0x43};
const char* const kIndexedFirmware = "_S02.10";

Bytes Concat(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& part : parts) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

std::uint8_t Lo(std::size_t value) {
    return static_cast<std::uint8_t>(value & 0xFF);
}
std::uint8_t Hi(std::size_t value) {
    return static_cast<std::uint8_t>((value >> 8) & 0xFF);
}

// GS ( L define; the parameter count covers what follows it, however long.
Bytes Define(const std::string& code, int width, int height, std::size_t rasterBytes) {
    Bytes body = {0x30,
                  0x43,
                  0x30,
                  static_cast<std::uint8_t>(code[0]),
                  static_cast<std::uint8_t>(code[1]),
                  0x01,
                  Lo(width),
                  Hi(width),
                  Lo(height),
                  Hi(height),
                  0x31};
    body.resize(body.size() + rasterBytes, 0xAA);
    return Concat({{0x1D, 0x28, 0x4C, Lo(body.size()), Hi(body.size())}, body});
}

Bytes KeyCodeCommand(std::uint8_t fn, const std::string& code) {
    if (fn == 0x45) {
        return {0x1D,
                0x28,
                0x4C,
                0x06,
                0x00,
                0x30,
                fn,
                static_cast<std::uint8_t>(code[0]),
                static_cast<std::uint8_t>(code[1]),
                0x01,
                0x01};
    }
    return {0x1D,
            0x28,
            0x4C,
            0x04,
            0x00,
            0x30,
            fn,
            static_cast<std::uint8_t>(code[0]),
            static_cast<std::uint8_t>(code[1])};
}

const Bytes kDeleteAllKeyCodes = {0x1D, 0x28, 0x4C, 0x05, 0x00, 0x30, 0x41, 0x43, 0x4C, 0x52};

Bytes Block(int width, int height) {
    Bytes block = {0x01, Lo(width), Hi(width), Lo(height), Hi(height), 0x31};
    block.resize(block.size() + static_cast<std::size_t>((width + 7) / 8 * height), 0x55);
    return block;
}

// 08 5E 37 with the count of the bytes that follow it.
Bytes Download(std::uint8_t n, const Bytes& blocks) {
    const std::size_t count = blocks.size() + 2;
    return Concat({{0x08, 0x5E, 0x37, Lo(count), Hi(count), 0x00, 0x00, 0x43, n}, blocks});
}

Bytes PrintIndex(std::uint8_t index) {
    return {0x08, 0x5E, 0x4C, 0x04, 0x00, 0x45, index, 0x01, 0x01};
}

class NvMemoryTest : public VirtualPrinterTest {
protected:
    vp::NvMemory Nv() { return Printer().State().nv.Get(); }
    // Sends the commands and waits until the printer has handled them all.
    void Send(LoopbackClient& client, const std::vector<Bytes>& commands) {
        const std::size_t before = Events().size();
        for (const Bytes& command : commands) {
            ASSERT_TRUE(client.Write(command));
        }
        ASSERT_TRUE(WaitForEvents(before + commands.size()));
    }
};

TEST_F(NvMemoryTest, KeyCodeImagesAreDefinedListedPrintedAndDeleted) {
    Printer().State().nv.Update([](vp::NvMemory& nv) { nv.listBlockCodes = 1; });
    LoopbackClient client(Port());
    Send(client, {Define("A1", 16, 2, 4), Define("B2", 9, 3, 6)});
    ASSERT_EQ(Nv().KeyCodes(), (std::vector<std::string>{"A1", "B2"}));
    EXPECT_EQ(Nv().Find("B2")->raster, Bytes(6, 0xAA));

    ASSERT_TRUE(client.Write(kListQuery));
    EXPECT_EQ(client.Read(6), (Bytes{0x37, 0x72, 0x41, 'A', '1', 0x00}));
    EXPECT_TRUE(client.Quiet()) << "the next block waits for the answer";
    ASSERT_TRUE(client.Write({kAck}));
    EXPECT_EQ(client.Read(6), (Bytes{0x37, 0x72, 0x40, 'B', '2', 0x00}));
    ASSERT_TRUE(client.Write({kAck}));
    ASSERT_TRUE(WaitForEvents(3));

    Send(client, {KeyCodeCommand(0x45, "A1"), KeyCodeCommand(0x45, "A1"),
                  KeyCodeCommand(0x45, "ZZ"), KeyCodeCommand(0x42, "A1")});
    EXPECT_EQ(Nv().keyCodePrints, (std::map<std::string, int>{{"A1", 2}}));
    EXPECT_EQ(Nv().KeyCodes(), std::vector<std::string>{"B2"});
    EXPECT_EQ(Nv().listAnswers, (Bytes{kAck, kAck}));

    Send(client, {kDeleteAllKeyCodes});
    EXPECT_TRUE(Nv().KeyCodes().empty());
    ASSERT_TRUE(client.Write(kListQuery));
    EXPECT_EQ(client.Read(4), (Bytes{0x37, 0x72, 0x40, 0x00}));
}

TEST_F(NvMemoryTest, CancelEndsTheList) {
    Printer().State().nv.Update([](vp::NvMemory& nv) {
        nv.listBlockCodes = 1;
        nv.keyCodeGraphics = {{"10", {8, 1, {0}}}, {"11", {8, 1, {0}}}};
    });
    LoopbackClient client(Port());
    ASSERT_TRUE(client.Write(kListQuery));
    EXPECT_EQ(client.Read(6).size(), 6u);
    ASSERT_TRUE(client.Write({kCan}));
    EXPECT_TRUE(client.Quiet());
    ASSERT_TRUE(WaitForEvents(1));
    EXPECT_EQ(Nv().listAnswers, Bytes{kCan});
}

TEST_F(NvMemoryTest, DefinitionsThatContradictTheirSizeAreRefused) {
    const struct {
        const char* name;
        Bytes command;
    } rows[] = {
        {"RasterOneByteShort", Define("A1", 16, 2, 3)},
        {"RasterOneByteLong", Define("A1", 16, 2, 5)},
        {"ZeroWidth", Define("A1", 0, 2, 0)},
        {"HeaderCut", {0x1D, 0x28, 0x4C, 0x04, 0x00, 0x30, 0x43, 0x30, 0x41}},
    };
    LoopbackClient client(Port());
    int refused = 0;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Send(client, {row.command});
        EXPECT_EQ(Nv().malformedDownloads, ++refused);
        EXPECT_TRUE(Nv().KeyCodes().empty());
    }
}

TEST_F(NvMemoryTest, IndexedDownloadReplacesAllImagesWhenItsLengthAddsUp) {
    SetFirmware(kIndexedFirmware);
    LoopbackClient client(Port());
    const Bytes blocks = Concat({Block(16, 2), Block(12, 3)});
    Send(client, {Download(2, blocks)});
    ASSERT_EQ(Nv().indexedGraphics.size(), 2u);
    EXPECT_EQ(Nv().indexedGraphics[1].width, 12);

    Bytes brokenMark = Block(8, 1);
    brokenMark[0] = 0x02;
    const struct {
        const char* name;
        Bytes command;
    } refused[] = {
        {"CountOfBlocksTooHigh", Download(3, blocks)},
        {"BlocksOneByteShort", Download(2, Bytes(blocks.begin(), blocks.end() - 1))},
        {"BlocksOneByteLong", Download(2, Concat({blocks, {0x00}}))},
        {"BrokenBlockMark", Download(1, brokenMark)},
    };
    int malformed = 0;
    for (const auto& row : refused) {
        SCOPED_TRACE(row.name);
        Send(client, {row.command});
        EXPECT_EQ(Nv().malformedDownloads, ++malformed);
        EXPECT_EQ(Nv().indexedGraphics.size(), 2u);
    }

    Send(client, {PrintIndex(1), PrintIndex(1), PrintIndex(7)});
    EXPECT_EQ(Nv().indexPrints, (std::map<int, int>{{1, 2}}));
    Send(client, {{0x08, 0x5E, 0x4C, 0x01, 0x00, 0x41}});
    EXPECT_TRUE(Nv().indexedGraphics.empty());
}

TEST_F(NvMemoryTest, EachFamilyIgnoresTheOtherFamilysCommands) {
    LoopbackClient client(Port());
    ASSERT_TRUE(client.Write(Download(1, Block(8, 1))));
    EXPECT_TRUE(client.Quiet());
    SetFirmware(kIndexedFirmware);
    ASSERT_TRUE(client.Write(Define("A1", 8, 1, 1)));
    ASSERT_TRUE(client.Write(kListQuery));
    EXPECT_TRUE(client.Quiet());
    const vp::NvMemory nv = Nv();
    EXPECT_TRUE(nv.indexedGraphics.empty());
    EXPECT_TRUE(nv.keyCodeGraphics.empty());
    EXPECT_EQ(nv.malformedDownloads, 0);
}

}  // namespace
}  // namespace printdeck::test
