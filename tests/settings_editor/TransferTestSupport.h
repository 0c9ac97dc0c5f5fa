#pragma once

#include <string>
#include <utility>
#include <vector>

#include "RecordingClock.h"
#include "device/PrinterDevice.h"
#include "settings/PrinterSettings.h"
#include "support/TempDir.h"
#include "support/VirtualPrinterFixture.h"

namespace printdeck::test {

// A virtual printer, a device on it with a recording clock that skips the
// long pauses, and a settings record pointing at the device.
class TransferFixture : public VirtualPrinterTest {
protected:
    // Pauses from 50 ms up (progress pauses, step delays, reply waits) are
    // counted but not waited for.
    static constexpr std::uint32_t kFastForwardFromMs = 50;

    TransferFixture() {
        Connect(device);
        settings.m_pDevice = &device;
    }

    void UsePrinter(const std::string& model, const std::string& firmware) {
        SetModel(model);
        SetFirmware(firmware);
    }

    // The reply the printer gives its next settings command instead of its own.
    void ScriptNextReply(vp::Bytes reply) {
        Printer().State().settings.Update(
            [&](vp::SettingsMemory& memory) { memory.scriptedReply = std::move(reply); });
    }

    // The switch numbers of the settings commands whose handler name ends
    // with `suffix` ("read-switch", "write-switch"), in order.
    std::vector<int> SwitchArguments(const std::string& suffix) const {
        std::vector<int> numbers;
        for (const vp::CommandEvent& event : Events()) {
            if (event.kind == vp::CommandEvent::Kind::Command &&
                event.handler.size() >= suffix.size() && event.handler.ends_with(suffix) &&
                event.bytes.size() > 6) {
                numbers.push_back(event.bytes[6]);
            }
        }
        return numbers;
    }

    bool HandlerSaw(const std::string& name) const {
        for (const vp::CommandEvent& event : Events()) {
            if (event.handler == name) {
                return true;
            }
        }
        return false;
    }

    // Writes earn no reply: an answered question afterwards proves the
    // printer has taken every command before it.
    void SyncWithPrinter() { device.chk_OpenCheck(CheckCodePage); }

    IsolatedFiles files;
    RecordingClock clock{kFastForwardFromMs};
    CPrinterDevice device{clock};
    CPrinterSettings settings;
};

}  // namespace printdeck::test
