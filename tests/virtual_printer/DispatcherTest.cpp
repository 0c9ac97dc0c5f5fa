#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "CommandDispatcher.h"
#include "LoopbackClient.h"
#include "VirtualPrinter.h"

namespace printdeck::test {
namespace {

using namespace std::chrono_literals;
using vp::Bytes;
using vp::ByteView;
using vp::CommandEvent;
using vp::Match;

struct MatchRow {
    const char* name;
    Match (*recognise)(ByteView);
    Bytes pending;
    Match expected;
};

const Bytes kQuery{0x1D, 0x49, 0x43};
const Bytes kSwitchWriteHeader{0x1D, 0x28, 0x45, 0x0B, 0x00, 0x03};
const Bytes kBluetoothWrite{0x1F, 0x1F, 0x70};

Match Query(ByteView pending) {
    return vp::MatchPrefix(pending, kQuery);
}
// Its length field says 11 while 9 bytes follow the 6-byte header.
Match SwitchWrite(ByteView pending) {
    return vp::MatchLength(pending, kSwitchWriteHeader, 15);
}
Match BluetoothWrite(ByteView pending) {
    return vp::MatchTerminated(pending, kBluetoothWrite, 0x0D, 2, 16);
}

Bytes Repeat(std::uint8_t byte, std::size_t count) {
    return Bytes(count, byte);
}

Bytes With(Bytes head, const Bytes& tail) {
    head.insert(head.end(), tail.begin(), tail.end());
    return head;
}

class RecogniserTest : public ::testing::TestWithParam<MatchRow> {};

TEST_P(RecogniserTest, ClassifiesTheFrontOfThePendingBytes) {
    EXPECT_EQ(GetParam().recognise(GetParam().pending), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Shapes, RecogniserTest,
    ::testing::Values(
        MatchRow{"FixedComplete", Query, With(kQuery, {0x1B}), Match::Complete(3)},
        MatchRow{"FixedPartial", Query, {0x1D, 0x49}, Match::NeedMore()},
        MatchRow{"FixedOther", Query, {0x1D, 0x49, 0x41}, Match::NotMine()},
        MatchRow{"LengthHeaderOnly", SwitchWrite, kSwitchWriteHeader, Match::NeedMore()},
        MatchRow{"LengthIgnoresTheLengthByte", SwitchWrite,
                 With(kSwitchWriteHeader, Repeat('2', 12)), Match::Complete(15)},
        MatchRow{"LengthOtherFunction",
                 SwitchWrite,
                 {0x1D, 0x28, 0x45, 0x02, 0x00, 0x04},
                 Match::NotMine()},
        MatchRow{"TextOneTerminator", BluetoothWrite, With(kBluetoothWrite, {'1', '2', 0x0D}),
                 Match::NeedMore()},
        MatchRow{"TextSecondTerminator", BluetoothWrite,
                 With(kBluetoothWrite, {'0', '3', 0x0D, 'A', 'B', 0x0D, 0x1D}), Match::Complete(9)},
        MatchRow{"TextBeyondItsLimit", BluetoothWrite, With(kBluetoothWrite, Repeat('A', 13)),
                 Match::NotMine()}),
    [](const auto& info) { return std::string(info.param.name); });

// Replies collected in memory; host bytes served from a list.
class FakeChannel : public vp::ReplyChannel {
public:
    void Send(ByteView block) override { sent.insert(sent.end(), block.begin(), block.end()); }
    std::optional<std::uint8_t> AwaitHostByte(std::chrono::milliseconds) override {
        return std::nullopt;
    }
    Bytes sent;
};

class RecordingHandler : public vp::ICommandHandler {
public:
    RecordingHandler(std::string name, Match (*recognise)(ByteView))
        : m_name(std::move(name)), m_recognise(recognise) {}
    std::string_view Name() const override { return m_name; }
    Match Recognise(ByteView pending) override { return m_recognise(pending); }
    void Handle(ByteView command, vp::ReplyChannel& reply) override {
        handled.emplace_back(command.begin(), command.end());
        reply.Send(Bytes{static_cast<std::uint8_t>(command.size())});
    }
    std::vector<Bytes> handled;

private:
    std::string m_name;
    Match (*m_recognise)(ByteView);
};

TEST(DispatcherTest, HandlesCommandsInOrderAndKeepsAnIncompleteTail) {
    vp::CommandDispatcher dispatcher;
    auto query = std::make_unique<RecordingHandler>("query", Query);
    auto write = std::make_unique<RecordingHandler>("switch", SwitchWrite);
    auto* queryHandler = query.get();
    auto* writeHandler = write.get();
    dispatcher.Register(std::move(query));
    dispatcher.Register(std::move(write));
    vp::Recorder recorder;
    FakeChannel channel;

    const Bytes switchWrite = With(kSwitchWriteHeader, Repeat('1', 9));
    Bytes pending = With(With(With(kQuery, {0x42}), switchWrite), {0x1D, 0x49});
    dispatcher.Dispatch(pending, channel, recorder);

    EXPECT_EQ(pending, (Bytes{0x1D, 0x49}));
    EXPECT_EQ(queryHandler->handled, std::vector<Bytes>{kQuery});
    EXPECT_EQ(writeHandler->handled, std::vector<Bytes>{switchWrite});
    EXPECT_EQ(channel.sent, (Bytes{3, 15}));
    const auto events = recorder.Events();
    ASSERT_EQ(events.size(), 3u);
    EXPECT_EQ(events[1].kind, CommandEvent::Kind::Unknown);
    EXPECT_EQ(events[1].bytes, Bytes{0x42});
}

TEST(DispatcherTest, GivesUpACommandThatOutgrowsThePendingBound) {
    vp::CommandDispatcher dispatcher;
    dispatcher.Register(std::make_unique<RecordingHandler>("endless", [](ByteView pending) {
        return vp::MatchLength(pending, Bytes{0xF1}, vp::CommandDispatcher::kMaxPendingBytes + 1);
    }));
    vp::Recorder recorder;
    FakeChannel channel;
    Bytes pending = With({0xF1}, Repeat(0, vp::CommandDispatcher::kMaxPendingBytes - 2));
    dispatcher.Dispatch(pending, channel, recorder);
    EXPECT_FALSE(pending.empty());
    pending.push_back(0);
    dispatcher.Dispatch(pending, channel, recorder);
    EXPECT_TRUE(pending.empty());
    ASSERT_EQ(recorder.Events().size(), 1u);
    EXPECT_EQ(recorder.Events()[0].kind, CommandEvent::Kind::Malformed);
}

// Sends a block, waits for the host's answer and sends a second block only
// after an ACK, as list replies do.
class AcknowledgedListHandler : public vp::ICommandHandler {
public:
    std::string_view Name() const override { return "list"; }
    Match Recognise(ByteView pending) override { return vp::MatchPrefix(pending, Bytes{0xF0}); }
    void Handle(ByteView, vp::ReplyChannel& reply) override {
        reply.Send(Bytes{'7', 'r', 'A', 0x00});
        const auto answer = reply.AwaitHostByte(500ms);
        answers.Update([&](auto& list) { list.push_back(answer); });
        if (answer == 0x06) {
            reply.Send(Bytes{'7', 'r', '@', 0x00});
        }
    }
    vp::Guarded<std::vector<std::optional<std::uint8_t>>> answers;
};

TEST(DispatcherTest, HandlerCanWaitForTheHostsAnswerBetweenBlocks) {
    vp::PrinterOptions options;
    options.listen = {"127.0.0.1", 0};
    vp::VirtualPrinter printer(options);
    auto list = std::make_unique<AcknowledgedListHandler>();
    auto* handler = list.get();
    printer.Dispatcher().Register(std::move(list));
    ASSERT_TRUE(printer.Start());

    LoopbackClient client(printer.Port());
    ASSERT_TRUE(client.Write({0xF0}));
    EXPECT_EQ(client.Read(4), (Bytes{'7', 'r', 'A', 0x00}));
    // The ACK travels together with the next command; only the ACK is taken.
    ASSERT_TRUE(client.Write({0x06, 0x1D, 0x49, 0x43}));
    EXPECT_EQ(client.Read(4), (Bytes{'7', 'r', '@', 0x00}));
    EXPECT_EQ(client.Read(10), (Bytes{'_', 'M', 'R', 'Q', '-', 'T', '2', '0', '0', 0x00}));

    ASSERT_TRUE(client.Write({0xF0}));
    EXPECT_EQ(client.Read(4).size(), 4u);
    ASSERT_TRUE(client.Write({0x18}));
    ASSERT_TRUE(client.Write({0xF0}));
    EXPECT_EQ(client.Read(4).size(), 4u);
    EXPECT_TRUE(client.Quiet(700ms));  // no answer: time-out, no second block

    const auto answers = handler->answers.Get();
    ASSERT_EQ(answers.size(), 3u);
    EXPECT_EQ(answers[0], 0x06);
    EXPECT_EQ(answers[1], 0x18);
    EXPECT_EQ(answers[2], std::nullopt);
}

}  // namespace
}  // namespace printdeck::test
