// A whole settings read run against a printer on a serial line that answers
// each command with the next piece of the input: [pause] [length] [bytes].
// The run must end, within a bounded time on its clock, in success or a
// failure with a message, with the port closed on failure.

#include <cstdint>
#include <cstdlib>
#include <string>

#include "device/PrinterDevice.h"
#include "settings/PrinterSettings.h"
#include "settings_editor/SettingsTransfer.h"
#include "transport/FakeSerialLine.h"

namespace {

// Far more than the slowest run of silent replies needs.
constexpr std::uint64_t kRunLimitMs = 30 * 60 * 1000;

// Answers every write with the next scripted piece.
class ScriptedPrinterIo : public printdeck::test::FakeSerialIo {
public:
    ScriptedPrinterIo(printdeck::test::FakeClock& clock, const std::uint8_t* data, std::size_t size)
        : FakeSerialIo(clock), m_data(data), m_size(size) {}

    ssize_t Write(int fd, const void* bytes, std::size_t length) override {
        if (m_pos + 2 <= m_size) {
            const std::uint64_t pauseMs = m_data[m_pos] * 10u;
            const std::size_t count = std::min<std::size_t>(m_data[m_pos + 1], m_size - m_pos - 2);
            ArriveAfter(pauseMs,
                        std::string(reinterpret_cast<const char*>(m_data + m_pos + 2), count));
            m_pos += 2 + count;
        }
        return FakeSerialIo::Write(fd, bytes, length);
    }

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_pos = 0;
};

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // Every exchange is traced; the trace is of no use here.
    setenv("PRINTDECK_LOG", "/dev/null", 1);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    printdeck::test::FakeClock clock;
    ScriptedPrinterIo io(clock, data, size);
    printdeck::CPrinterDevice device(clock, io);
    device.m_strPortName = "COM1";
    device.ApplyPortSettings();
    printdeck::CPrinterSettings settings;
    settings.m_pDevice = &device;
    printdeck::CSettingsTransfer transfer(&settings);
    const std::uint64_t start = clock.now;
    transfer.Run(printdeck::ReadFromPrinter);
    if (clock.now - start > kRunLimitMs) {
        std::abort();
    }
    device.m_Port.Close();
    return 0;
}
