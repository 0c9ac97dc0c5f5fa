#pragma once

#include <cstddef>
#include <optional>

#include "settings/SettingsProtocol.h"

namespace printdeck {
class CPrinterDevice;
}

namespace printdeck::settings {

// One settings exchange on the record's device: the port-open test, writes
// that close the port when they fall short, and the reply collectors with
// their waits on the device's clock. A missing device counts as a closed port.
class CSettingsLink {
public:
    explicit CSettingsLink(CPrinterDevice* device) : m_pDevice(device) {}

    bool IsOpen() const;
    // RC_OK when every byte went out; otherwise closes the port and returns
    // RC_WRITE_FAILED. An empty command is still one (empty) write.
    int Send(const Bytes& command);
    // As Send, but only a write that moves no byte at all counts as failed.
    int SendAny(const Bytes& command);
    // Closes the port and returns code.
    int Fail(int code);
    void Wait(unsigned milliseconds);

    // A reply of exactly `expected` bytes, gathered by reads of `readRoom`
    // within the reply budget; nullopt when it stays shorter or grows longer.
    std::optional<Bytes> CollectFixed(std::size_t expected, int readRoom, unsigned firstWaitMs);

    struct Terminated {
        Bytes bytes;            // up to and including the first 00, at most `limit`
        bool complete = false;  // a 00 byte ended it
    };
    // Joins pieces until a 00 byte, `limit` bytes, or the reply budget.
    Terminated CollectTerminated(std::size_t limit, unsigned firstWaitMs);
    // Joins pieces while reads bring bytes that do not end with 00, up to
    // `limit` bytes; a silent printer ends it within one read time-out.
    Bytes CollectWhileFlowing(std::size_t limit, unsigned firstWaitMs);

private:
    int Read(std::uint8_t* buffer, int room);
    bool BudgetSpent(std::uint64_t origin) const;

    CPrinterDevice* m_pDevice;
};

}  // namespace printdeck::settings
