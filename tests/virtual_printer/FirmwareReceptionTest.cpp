#include <gtest/gtest.h>

#include <chrono>
#include <numeric>
#include <string>

#include "LoopbackClient.h"
#include "support/TempDir.h"
#include "support/VirtualPrinterFixture.h"

namespace printdeck::test {
namespace {

using namespace std::chrono_literals;
using vp::Bytes;

const Bytes kModelQuery{0x1D, 0x49, 0x43};

vp::PrinterOptions ReceivingInto(const std::filesystem::path& file) {
    vp::PrinterOptions options;
    options.firmwarePath = file.string();
    return options;
}

// Sends bytes on one connection, hangs up and waits until the printer has
// finished with it.
void SendAndHangUp(VirtualPrinterRunner& printer, const Bytes& bytes, std::size_t ended) {
    LoopbackClient client(printer.Port());
    ASSERT_TRUE(client.Write(bytes));
    EXPECT_TRUE(client.Quiet()) << "a receiving printer answers nothing";
    client.Close();
    ASSERT_TRUE(printer.Firmware().WaitForEndedConnections(ended, 3000ms));
}

TEST(FirmwareReceptionTest, StoresEachConnectionRawWithoutAnsweringCommands) {
    TempDir dir;
    VirtualPrinterRunner printer(ReceivingInto(dir / "received.fls"));
    Bytes image = kModelQuery;
    for (int i = 0; i < 20000; ++i) {
        image.push_back(static_cast<std::uint8_t>(i * 7));
    }
    SendAndHangUp(printer, image, 1);
    EXPECT_EQ(ReadWholeFile(dir / "received.fls"), std::string(image.begin(), image.end()));
    const auto arrivals = printer.Firmware().ArrivalSizes();
    EXPECT_EQ(std::accumulate(arrivals.begin(), arrivals.end(), std::size_t{0}), image.size());
    EXPECT_TRUE(printer.Events().empty()) << "raw bytes must not reach the dispatcher";

    // The next connection replaces the file's content.
    SendAndHangUp(printer, {1, 2, 3}, 2);
    EXPECT_EQ(ReadWholeFile(dir / "received.fls"), std::string("\x01\x02\x03"));
}

TEST(FirmwareReceptionTest, AnswersCommandsAgainOnceTurnedOff) {
    TempDir dir;
    VirtualPrinterRunner printer(ReceivingInto(dir / "received.fls"));
    ASSERT_TRUE(printer.Printer().SetFirmwareFile(""));
    LoopbackClient client(printer.Port());
    ASSERT_TRUE(client.Write(kModelQuery));
    EXPECT_FALSE(client.Read(1).empty());
}

TEST(FirmwareReceptionTest, RefusesToStartWithAnUnwritableFile) {
    TempDir dir;
    vp::VirtualPrinter printer(ReceivingInto(dir / "missing" / "received.fls"));
    std::string error;
    EXPECT_FALSE(printer.Start(&error));
    EXPECT_NE(error.find("received.fls"), std::string::npos) << error;
}

}  // namespace
}  // namespace printdeck::test
