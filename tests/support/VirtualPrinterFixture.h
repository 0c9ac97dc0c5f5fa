#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "VirtualPrinter.h"
#include "device/PrinterDevice.h"

namespace printdeck::test {

// A virtual printer running in-process on 127.0.0.1 with a free port, for
// as long as the object lives. Settings may be changed at any time; they
// apply from the printer's next reply.
class VirtualPrinterRunner {
public:
    static constexpr std::chrono::milliseconds kDefaultWait{3000};

    // `options.listen` is replaced by 127.0.0.1 port 0. Throws when the
    // printer cannot start.
    explicit VirtualPrinterRunner(vp::PrinterOptions options = {});

    vp::VirtualPrinter& Printer() { return m_printer; }
    std::uint16_t Port() const { return m_printer.Port(); }
    static std::string PortString() { return "NET127.0.0.1"; }

    // Points the device's connection settings at this printer and applies them.
    void Connect(CPrinterDevice& device) const {
        device.m_strPortName = PortString();
        device.m_nBaudRate = Port();
        device.ApplyPortSettings();
    }

    void SetModel(const std::string& reply);
    void SetFirmware(const std::string& reply);
    void SetCodePage(std::optional<std::string> reply);  // nullopt: no answer
    void SetMsr(std::uint8_t setting);
    void SetFault(vp::Fault fault) { m_printer.SetFault(fault); }
    // By name as on the command line ("silent", "pieces=200", ...); throws
    // on an unknown name.
    void SetFault(const std::string& name);

    // Bytes the printer received since the start or the last ClearReceived.
    vp::Bytes Received() const { return m_printer.Record().Received(); }
    std::vector<vp::Bytes> ReceivedByConnection() const {
        return m_printer.Record().ReceivedByConnection();
    }
    std::vector<vp::CommandEvent> Events() const { return m_printer.Record().Events(); }
    // Raw firmware reception: what each connection sent, stored in a file.
    vp::FirmwareReceiver& Firmware() { return m_printer.Firmware(); }
    // Forgets received bytes and events.
    void ClearReceived() { m_printer.Record().Clear(); }
    // The host's writes reach the printer asynchronously: wait until it has
    // received at least `count` bytes (since the last ClearReceived).
    bool WaitForReceived(std::size_t count,
                         std::chrono::milliseconds timeout = kDefaultWait) const {
        return m_printer.Record().WaitForReceived(count, timeout);
    }
    bool WaitForEvents(std::size_t count, std::chrono::milliseconds timeout = kDefaultWait) const {
        return m_printer.Record().WaitForEvents(count, timeout);
    }

    // The NV image memory. Commands are handled on the printer's thread:
    // NvOnce returns it once `settled` holds, or as it is after the timeout.
    vp::NvMemory Nv() { return m_printer.State().nv.Get(); }
    vp::NvMemory NvOnce(const std::function<bool(const vp::NvMemory&)>& settled,
                        std::chrono::milliseconds timeout = kDefaultWait);
    // Key-code images of one byte under these codes, as if downloaded.
    void StoreNvKeyCodes(const std::vector<std::string>& codes);

private:
    vp::VirtualPrinter m_printer;
};

// GoogleTest fixture with a running virtual printer; every runner member is
// available directly in the test body.
class VirtualPrinterTest : public ::testing::Test, public VirtualPrinterRunner {};

}  // namespace printdeck::test
