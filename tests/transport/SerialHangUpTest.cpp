#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>

#include "support/PseudoTerminal.h"
#include "transport/Clock.h"
#include "transport/DeviceIo.h"
#include "transport/SerialLine.h"

namespace printdeck::test {
namespace {

using namespace std::chrono;

// After the far end of a serial line has gone (an adapter pulled out, a
// pseudo-terminal whose master closed), every read would return at once; a
// reply loop polling for three seconds must not spin on it.
TEST(SerialHangUpTest, VanishedLineWaitsLikeSilence) {
    PseudoTerminal terminal;
    const int fd = open(terminal.SlavePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    CSerialLine line(SystemDeviceIo(), SystemClock());
    terminal.WriteToPort("AB");
    std::uint8_t buffer[16] = {};
    ASSERT_EQ(line.Read(fd, buffer, 2), 2);

    terminal.CloseMaster();
    const auto start = steady_clock::now();
    int reads = 0;
    while (steady_clock::now() - start < milliseconds(2500)) {
        EXPECT_EQ(line.Read(fd, buffer, sizeof buffer), 0);
        ++reads;
    }
    EXPECT_LE(reads, 3) << "each read waits as a silent line does";
    close(fd);
}

}  // namespace
}  // namespace printdeck::test
