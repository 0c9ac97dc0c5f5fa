#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "app/DebugTraceSink.h"
#include "firmware/FirmwareSender.h"
#include "firmware/FirmwareTexts.h"
#include "support/TempDir.h"
#include "support/VirtualPrinterFixture.h"
#include "transport/DeviceIo.h"

namespace printdeck::test {
namespace {

using namespace std::chrono_literals;
using Strings = std::vector<std::string>;

// Letters only: the communication log shows a write's data up to its first
// zero byte and breaks lines at line feeds, so each logged write then shows
// exactly the bytes written.
std::string Payload(std::size_t size) {
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<char>('A' + i % 26);
    }
    return bytes;
}

void WriteFile(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// Sizes of the port writes, in order, as the communication log shows them.
std::vector<std::size_t> LoggedWriteSizes(const std::filesystem::path& log) {
    const std::string text = ReadWholeFile(log);
    const std::string marker = "[==>] ";
    std::vector<std::size_t> sizes;
    for (auto at = text.find(marker); at != std::string::npos; at = text.find(marker, at)) {
        at += marker.size();
        sizes.push_back(text.find("\r\r\n", at) - at);
    }
    return sizes;
}

// Everything a window would be told, in order.
struct Recording : IFirmwareListener {
    void OnStatus(const std::string& text) override { statuses.push_back(text); }
    void OnMessage(const std::string& text) override { messages.push_back(text); }
    void OnProgress(const FirmwareProgress& progress) override {
        percents.push_back(progress.percent);
        if (afterProgress) {
            afterProgress();
        }
    }
    void OnSending(bool active) override { sending.push_back(active); }

    Strings statuses;
    Strings messages;
    std::vector<int> percents;
    std::vector<bool> sending;
    std::function<void()> afterProgress;
};

// Collects DebugTrace output while it lives.
class TraceCapture {
public:
    TraceCapture() {
        SetDebugTraceSink([this](const std::string& text) { traces.push_back(text); });
    }
    ~TraceCapture() { SetDebugTraceSink({}); }
    Strings traces;
};

class FirmwareSenderTest : public ::testing::Test {
protected:
    FirmwareSenderTest() : m_printer(ReceivingOptions()) {
        m_sender.SetPortSettings(VirtualPrinterRunner::PortString(), m_printer.Port(), 0, 8, 0, 0);
    }

    vp::PrinterOptions ReceivingOptions() const {
        vp::PrinterOptions options;
        options.firmwarePath = (m_files.Dir() / "received.fls").string();
        return options;
    }
    std::filesystem::path FirmwareFile(const std::string& bytes) {
        const auto path = m_files.Dir() / "image.fls";
        WriteFile(path, bytes);
        return path;
    }
    FirmwareResult Download(const std::filesystem::path& path) {
        return m_sender.Download(path.string(), &m_recording);
    }
    // What the printer stored, once it has seen the connection end.
    std::string Received() {
        EXPECT_TRUE(m_printer.Firmware().WaitForEndedConnections(1, 3000ms));
        return ReadWholeFile(m_files.Dir() / "received.fls");
    }

    IsolatedFiles m_files;
    VirtualPrinterRunner m_printer;
    CFirmwareSender m_sender;
    Recording m_recording;
};

struct PieceRow {
    const char* name;
    std::size_t size;
    std::vector<std::size_t> pieces;
    std::vector<int> percents;
};

void PrintTo(const PieceRow& row, std::ostream* out) {
    *out << row.name;
}

class FirmwarePieceTest : public FirmwareSenderTest,
                          public ::testing::WithParamInterface<PieceRow> {};

TEST_P(FirmwarePieceTest, SendsTheFileUnchangedInPiecesWithProgress) {
    const PieceRow& row = GetParam();
    const std::string image = Payload(row.size);
    TraceCapture trace;

    const FirmwareResult result = Download(FirmwareFile(image));

    EXPECT_EQ(result.outcome, FirmwareOutcome::Sent);
    EXPECT_EQ(Received(), image);
    EXPECT_EQ(LoggedWriteSizes(m_files.LogPath()), row.pieces);
    EXPECT_EQ(m_recording.percents, row.percents);
    EXPECT_EQ(m_recording.messages, Strings{kFirmwareSuccess});
    EXPECT_EQ(m_recording.statuses,
              (Strings{kFirmwareReady, kFirmwareDownloading, kFirmwareFinished}));
    EXPECT_EQ(m_recording.sending, (std::vector<bool>{true, false}));
    EXPECT_EQ(result.status, kFirmwareFinished);
    EXPECT_EQ(m_sender.Port().m_bOpen, 0);
    Strings expectedTraces{"===================START==========\n"};
    std::size_t sent = 0;
    for (const std::size_t piece : row.pieces) {
        sent += piece;
        expectedTraces.push_back("SEND = " + std::to_string(sent) + "\n");
    }
    EXPECT_EQ(trace.traces, expectedTraces);
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, FirmwarePieceTest,
    ::testing::Values(PieceRow{"NineThousandBytes", 9000, {4096, 4096, 808}, {45, 91, 100}},
                      PieceRow{"TwoWholePieces", 8192, {4096, 4096}, {50, 100}},
                      PieceRow{"OneShortPiece", 10, {10}, {100}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(FirmwareSenderTest, SendsAReadOnlyFile) {
    const std::string image = Payload(5000);
    const auto path = FirmwareFile(image);
    std::filesystem::permissions(path, std::filesystem::perms::owner_read |
                                           std::filesystem::perms::group_read |
                                           std::filesystem::perms::others_read);
    EXPECT_EQ(Download(path).outcome, FirmwareOutcome::Sent);
    EXPECT_EQ(Received(), image);
}

TEST(FirmwareFileTest, ReadsAFileThatNobodyMayOpenForWriting) {
    // A running program cannot be opened for writing, not even by root.
    std::vector<std::uint8_t> bytes;
    const FirmwareFileResult result = ReadFirmwareFile("/proc/self/exe", bytes);
    EXPECT_NE(result.status, FirmwareFileStatus::CannotRead) << std::strerror(result.error);
}

TEST_F(FirmwareSenderTest, FileThatCannotBeReadStopsBeforeThePort) {
    const auto sparse = m_files.Dir() / "huge.fls";
    WriteFile(sparse, "");
    const auto empty = m_files.Dir() / "empty.fls";
    WriteFile(empty, "");
    std::filesystem::resize_file(sparse, kMaxFirmwareBytes + 1);
    struct Row {
        const char* name;
        std::filesystem::path path;
        FirmwareOutcome outcome;
        const char* message;
    } rows[] = {
        {"missing", m_files.Dir() / "missing.fls", FirmwareOutcome::FileOpenFailed,
         kFirmwareFileOpenError},
        {"folder", m_files.Dir().Path(), FirmwareOutcome::FileOpenFailed, kFirmwareFileOpenError},
        {"too large", sparse, FirmwareOutcome::FileTooLarge, kFirmwareFileTooLarge},
        {"empty", empty, FirmwareOutcome::FileEmpty, kFirmwareFileEmpty},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        m_recording = {};
        const FirmwareResult result = Download(row.path);
        EXPECT_EQ(result.outcome, row.outcome);
        EXPECT_EQ(m_recording.messages, Strings{row.message});
        EXPECT_EQ(m_recording.statuses, Strings{kFirmwareReady});
        EXPECT_TRUE(m_recording.sending.empty());
    }
    EXPECT_EQ(m_printer.Firmware().EndedConnections(), 0u) << "no connection was made";
}

TEST_F(FirmwareSenderTest, PortThatDoesNotOpenEndsTheDownload) {
    m_printer.Printer().Stop();
    const FirmwareResult result = Download(FirmwareFile(Payload(100)));
    EXPECT_EQ(result.outcome, FirmwareOutcome::PortOpenFailed);
    EXPECT_EQ(m_recording.messages, Strings{kFirmwareOpenPortError});
    EXPECT_EQ(result.status, kFirmwareDownloading);
    EXPECT_TRUE(m_recording.percents.empty());
    EXPECT_EQ(m_sender.Port().m_bOpen, 0);
}

TEST_F(FirmwareSenderTest, PrinterHangingUpMidTransferStopsTheDownload) {
    m_printer.SetFault(vp::Fault{vp::Fault::Kind::CloseAfter, 4096});
    // Hold the sender after its first piece until the printer has hung up,
    // so the rest cannot vanish into socket buffers before it does.
    m_recording.afterProgress = [this] {
        if (m_recording.percents.size() == 1) {
            EXPECT_TRUE(m_printer.Firmware().WaitForEndedConnections(1, 3000ms));
        }
    };
    const std::size_t size = 64 * CFirmwareSender::kPieceBytes;

    const FirmwareResult result = Download(FirmwareFile(Payload(size)));

    EXPECT_EQ(result.outcome, FirmwareOutcome::SendFailed);
    EXPECT_EQ(m_recording.messages, Strings{kFirmwareSendFailed});
    EXPECT_EQ(result.status, kFirmwareDownloading) << "status stays as it was";
    EXPECT_LT(result.progress.sentBytes, size);
    EXPECT_EQ(m_recording.sending, (std::vector<bool>{true, false}));
    EXPECT_EQ(m_sender.Port().m_bOpen, 0);
}

// A device that takes a fixed number of bytes and then fails every write.
class LimitedDeviceIo : public IDeviceIo {
public:
    explicit LimitedDeviceIo(std::size_t budget) : m_budget(budget) {}

    int Open(const std::string&, int) override { return 9; }
    int Close(int) override { return 0; }
    ssize_t Read(int, void*, std::size_t) override { return 0; }
    ssize_t Write(int, const void*, std::size_t length) override {
        if (m_budget == 0) {
            errno = EIO;
            return -1;
        }
        const std::size_t taken = std::min(length, m_budget);
        m_budget -= taken;
        return static_cast<ssize_t>(taken);
    }
    int Poll(int, short events, int, short* revents) override {
        *revents = events;
        return 1;
    }
    int GetAttributes(int, termios*) override { return 0; }
    int SetAttributes(int, const termios&) override { return 0; }
    int Flush(int, int) override { return 0; }
    int Control(int, unsigned long, int*) override { return 0; }

private:
    std::size_t m_budget;
};

TEST(FirmwareShortWriteTest, AFailedPieceNeverEndsWithTheResetAdvice) {
    struct Row {
        const char* name;
        std::size_t budget;
        FirmwareOutcome outcome;
        Strings statuses;
        std::vector<int> percents;
    } rows[] = {
        {"a whole piece",
         5000,
         FirmwareOutcome::SendFailed,
         {kFirmwareReady, kFirmwareDownloading},
         {45}},
        {"the last piece",
         8192 + 100,
         FirmwareOutcome::LastPieceFailed,
         {kFirmwareReady, kFirmwareDownloading},
         {45, 91}},
    };
    IsolatedFiles files;
    const auto path = files.Dir() / "image.fls";
    WriteFile(path, Payload(9000));
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        LimitedDeviceIo io(row.budget);
        CFirmwareSender sender(SystemClock(), io);
        sender.SetPortSettings("/dev/usb/lp0", 115200, 0, 8, 0, 0);
        Recording recording;
        const FirmwareResult result = sender.Download(path.string(), &recording);
        EXPECT_EQ(result.outcome, row.outcome);
        EXPECT_EQ(recording.messages, Strings{kFirmwareSendFailed}) << "never a success message";
        EXPECT_EQ(recording.statuses, row.statuses);
        EXPECT_EQ(recording.percents, row.percents);
        EXPECT_EQ(sender.Port().m_bOpen, 0);
    }
}

}  // namespace
}  // namespace printdeck::test
