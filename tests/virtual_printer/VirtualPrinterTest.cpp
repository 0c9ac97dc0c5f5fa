#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "LoopbackClient.h"
#include "support/TempDir.h"
#include "support/VirtualPrinterFixture.h"

namespace printdeck::test {
namespace {

using namespace std::chrono_literals;
using vp::Bytes;
using vp::CommandEvent;
using vp::ToBytes;

const Bytes kModelQuery{0x1D, 0x49, 0x43};
const Bytes kVersionQuery{0x1D, 0x49, 0x41};
const Bytes kCodePageQuery{0x1D, 0x49, 0x45};
const Bytes kMsrQuery{0x1B, 0x4D, 0x49};

Bytes Terminated(const std::string& text) {
    Bytes bytes = ToBytes(text);
    bytes.push_back(0x00);
    return bytes;
}

Bytes Concat(Bytes first, const Bytes& second) {
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

class VirtualPrinterSocketTest : public VirtualPrinterTest {
protected:
    // Sends one command on a fresh connection and returns what came back
    // until `count` bytes arrived or the printer fell quiet.
    Bytes Ask(const Bytes& command, std::size_t count) {
        LoopbackClient client(Port());
        EXPECT_TRUE(client.Write(command));
        Bytes reply = client.Read(count, 1500ms);
        EXPECT_TRUE(client.Quiet()) << "more bytes than expected";
        return reply;
    }
};

struct ReplyRow {
    const char* name;
    const char* fault;
    Bytes command;
    Bytes reply;
};

class ReplyTest : public VirtualPrinterSocketTest,
                  public ::testing::WithParamInterface<ReplyRow> {};

TEST_P(ReplyTest, AnswersByteExact) {
    SetMsr('1');
    SetFault(std::string(GetParam().fault));
    EXPECT_EQ(Ask(GetParam().command, GetParam().reply.size()), GetParam().reply);
    ASSERT_TRUE(WaitForReceived(GetParam().command.size()));
    EXPECT_EQ(Received(), GetParam().command);
}

INSTANTIATE_TEST_SUITE_P(
    Identification, ReplyTest,
    ::testing::Values(
        ReplyRow{"Model", "none", kModelQuery, Terminated("_MRQ-T200")},
        ReplyRow{"Firmware", "none", kVersionQuery, Terminated("_VER V1.23")},
        ReplyRow{"CodePageWithoutTerminator", "none", kCodePageQuery, ToBytes("_PC437")},
        ReplyRow{"CardReader", "none", kMsrQuery, {0x37, 0x80, 0x31, 0x00}},
        ReplyRow{"SilentReadsButNeverAnswers", "silent", kModelQuery, {}},
        ReplyRow{"PiecesJoinToTheWholeReply", "pieces=50", kModelQuery, Terminated("_MRQ-T200")},
        ReplyRow{"NoTerminatorDropsTheFinalZero", "no-terminator", kModelQuery,
                 ToBytes("_MRQ-T200")},
        ReplyRow{"NoTerminatorOnCardReader", "no-terminator", kMsrQuery, {0x37, 0x80, 0x31}},
        ReplyRow{"NoTerminatorLeavesUnterminatedText", "no-terminator", kCodePageQuery,
                 ToBytes("_PC437")},
        // Same length, closing 00 kept, no reply mark or '_' anywhere.
        ReplyRow{"GarbageKeepsOnlyTheTerminator", "garbage", kMsrQuery, {0xC0, 0xC1, 0xC2, 0x00}},
        ReplyRow{"GarbageText", "garbage", kCodePageQuery, {0xC0, 0xC1, 0xC2, 0xC3, 0xC4, 0xC5}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(VirtualPrinterSocketTest, CodePageCanStaySilentWhileOtherQueriesAnswer) {
    SetCodePage(std::nullopt);
    LoopbackClient client(Port());
    ASSERT_TRUE(client.Write(Concat(kCodePageQuery, kModelQuery)));
    EXPECT_EQ(client.Read(10), Terminated("_MRQ-T200"));
}

TEST_F(VirtualPrinterSocketTest, PiecesArriveSeparatelyWithThePause) {
    SetFault("pieces=300");
    LoopbackClient client(Port());
    ASSERT_TRUE(client.Write(kVersionQuery));
    const auto chunks = client.ReadChunks(11, 2000ms);
    ASSERT_EQ(chunks.size(), 2u);
    EXPECT_EQ(chunks[0].bytes, ToBytes("_VER "));
    EXPECT_GE(chunks[1].at - chunks[0].at, 250ms);
    EXPECT_EQ(Join(chunks), Terminated("_VER V1.23"));
}

TEST_F(VirtualPrinterSocketTest, SlowWaitsBeforeEachReply) {
    SetFault("slow=400");
    LoopbackClient client(Port());
    for (int i = 0; i < 2; ++i) {
        const auto sent = LoopbackClient::Clock::now();
        ASSERT_TRUE(client.Write(kMsrQuery));
        const auto chunks = client.ReadChunks(4, 2000ms);
        ASSERT_FALSE(chunks.empty());
        EXPECT_GE(chunks.front().at - sent, 350ms);
        EXPECT_EQ(Join(chunks), (Bytes{0x37, 0x80, '0', 0x00}));
    }
}

TEST_F(VirtualPrinterSocketTest, CloseAfterHangsUpOnTheNthByteWithoutHandlingIt) {
    SetFault("close-after=5");
    LoopbackClient client(Port());
    ASSERT_TRUE(client.Write(kModelQuery));
    EXPECT_EQ(client.Read(10), Terminated("_MRQ-T200"));
    ASSERT_TRUE(client.Write(kVersionQuery));
    EXPECT_TRUE(client.Read(11).empty());
    EXPECT_TRUE(client.PeerClosed());
    EXPECT_EQ(Received(), Concat(kModelQuery, {0x1D, 0x49}));

    // The limit counts per connection.
    SetFault("none");
    LoopbackClient next(Port());
    ASSERT_TRUE(next.Write(kMsrQuery));
    EXPECT_EQ(next.Read(4).size(), 4u);
}

TEST_F(VirtualPrinterSocketTest, CommandSplitAcrossWritesIsJoined) {
    LoopbackClient client(Port());
    ASSERT_TRUE(client.Write({0x1D, 0x49}));
    ASSERT_TRUE(WaitForReceived(2));
    std::this_thread::sleep_for(200ms);
    ASSERT_TRUE(client.Write({0x43}));
    EXPECT_EQ(client.Read(10), Terminated("_MRQ-T200"));
}

TEST_F(VirtualPrinterSocketTest, LeadingGarbageIsDroppedAndRecordedAsUnknown) {
    LoopbackClient client(Port());
    ASSERT_TRUE(client.Write({0xFF, 0x1D, 0x00, 0x1D, 0x49, 0x43}));
    EXPECT_EQ(client.Read(10), Terminated("_MRQ-T200"));
    ASSERT_TRUE(WaitForEvents(2));
    const auto events = Events();
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].kind, CommandEvent::Kind::Unknown);
    EXPECT_EQ(events[0].bytes, (Bytes{0xFF, 0x1D, 0x00}));
    EXPECT_EQ(events[1].kind, CommandEvent::Kind::Command);
    EXPECT_EQ(events[1].handler, "model");
}

TEST_F(VirtualPrinterSocketTest, StalledPartialCommandIsDiscardedAfterAboutASecond) {
    LoopbackClient client(Port());
    const auto sent = LoopbackClient::Clock::now();
    ASSERT_TRUE(client.Write({0x1D, 0x49}));
    ASSERT_TRUE(WaitForEvents(1, 3000ms));
    const auto waited = LoopbackClient::Clock::now() - sent;
    EXPECT_GE(waited, 900ms);
    EXPECT_LE(waited, 2000ms);
    EXPECT_EQ(Events()[0].kind, CommandEvent::Kind::Malformed);
    EXPECT_EQ(Events()[0].bytes, (Bytes{0x1D, 0x49}));

    // The late last byte is no longer part of a command; the next full one is.
    ASSERT_TRUE(client.Write(Concat({0x43}, kModelQuery)));
    EXPECT_EQ(client.Read(10), Terminated("_MRQ-T200"));
    EXPECT_TRUE(client.Quiet());
}

TEST_F(VirtualPrinterSocketTest, ServesReconnectsWithSettingsChangedBetween) {
    {
        LoopbackClient first(Port());
        ASSERT_TRUE(first.Write(kModelQuery));
        EXPECT_EQ(first.Read(10), Terminated("_MRQ-T200"));
    }
    SetModel("_KT 220");
    SetFirmware("_V01.05");
    LoopbackClient second(Port());
    ASSERT_TRUE(second.Write(Concat(kModelQuery, kVersionQuery)));
    EXPECT_EQ(second.Read(16), Concat(Terminated("_KT 220"), Terminated("_V01.05")));
    const auto connections = ReceivedByConnection();
    ASSERT_EQ(connections.size(), 2u);
    EXPECT_EQ(connections[0], kModelQuery);
    EXPECT_EQ(connections[1], Concat(kModelQuery, kVersionQuery));
}

TEST_F(VirtualPrinterSocketTest, RecordFileHoldsEveryReceivedByte) {
    TempDir dir;
    const auto path = dir / "received.bin";
    ASSERT_TRUE(Printer().SetRecordFile(path.string()));
    const Bytes sent{0xFF, 0x1D, 0x49, 0x43, 0x1B, 0x4D};
    {
        LoopbackClient client(Port());
        ASSERT_TRUE(client.Write(sent));
        ASSERT_TRUE(WaitForReceived(sent.size()));
    }
    LoopbackClient again(Port());
    ASSERT_TRUE(again.Write({0x49}));
    ASSERT_TRUE(WaitForReceived(sent.size() + 1));
    EXPECT_EQ(ReadWholeFile(path), std::string("\xFF\x1D\x49\x43\x1B\x4D\x49"));
}

TEST_F(VirtualPrinterSocketTest, StopsPromptlyInTheMiddleOfASlowReply) {
    SetFault("slow=10000");
    LoopbackClient client(Port());
    ASSERT_TRUE(client.Write(kModelQuery));
    ASSERT_TRUE(WaitForReceived(3));
    const auto start = LoopbackClient::Clock::now();
    Printer().Stop();
    EXPECT_LT(LoopbackClient::Clock::now() - start, 1000ms);
    EXPECT_TRUE(client.Read(10, 1000ms).empty());
    EXPECT_TRUE(client.PeerClosed());
}

}  // namespace
}  // namespace printdeck::test
