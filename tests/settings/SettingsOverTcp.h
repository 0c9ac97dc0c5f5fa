#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <thread>

#include "SettingsMemory.h"
#include "device/PrinterDevice.h"
#include "settings/PrinterSettings.h"
#include "support/VirtualPrinterFixture.h"

namespace printdeck::test {

// The three printers the settings commands distinguish.
enum class PrinterKind {
    Msw,     // _MRQ-T200, _VER V1.23: version 1230, MSW dialect
    Sw,      // _MRQ-T200, _V01.00: version 21000, SW dialect
    NewMsw,  // _MRQ-T300, _V01.05: version 101050, MSW dialect with switch 81, RF, Bluetooth
};

// Bytes and text pieces joined into one byte string.
class Wire {
public:
    Wire(std::initializer_list<int> bytes) {
        for (int b : bytes) {
            m_bytes.push_back(static_cast<std::uint8_t>(b));
        }
    }
    Wire(const char* text) : m_bytes(text, text + std::char_traits<char>::length(text)) {}
    Wire(const std::string& text) : m_bytes(text.begin(), text.end()) {}
    Wire(vp::Bytes bytes) : m_bytes(std::move(bytes)) {}
    operator const vp::Bytes&() const { return m_bytes; }
    const vp::Bytes& bytes() const { return m_bytes; }

private:
    vp::Bytes m_bytes;
};

inline vp::Bytes Cat(std::initializer_list<Wire> parts) {
    vp::Bytes joined;
    for (const Wire& part : parts) {
        joined.insert(joined.end(), part.bytes().begin(), part.bytes().end());
    }
    return joined;
}

// A settings record on a device connected over TCP to the in-process
// virtual printer.
class SettingsOverTcp : public VirtualPrinterTest {
protected:
    void SetUp() override {
        Connect(device);
        settings.m_pDevice = &device;
    }

    // Makes the printer one of the kinds, opens the port, identifies the
    // printer as a transfer run does and forgets the identification bytes.
    void Use(PrinterKind kind, std::uint8_t msr = '0') {
        SetModel(kind == PrinterKind::NewMsw ? "_MRQ-T300" : "_MRQ-T200");
        SetFirmware(kind == PrinterKind::Msw  ? "_VER V1.23"
                    : kind == PrinterKind::Sw ? "_V01.00"
                                              : "_V01.05");
        SetMsr(msr);
        ASSERT_EQ(device.m_Port.Open(), 1);
        ASSERT_EQ(device.chk_OpenCheck(CheckModel), RC_OK);
        ASSERT_EQ(device.chk_OpenCheck(CheckVersion), RC_OK);
        ASSERT_EQ(device.chk_OpenCheck(CheckMsr), RC_OK);
        ClearReceived();
    }

    // What the printer received, once `count` bytes are there and nothing
    // more follows at once.
    vp::Bytes Sent(std::size_t count) {
        EXPECT_TRUE(WaitForReceived(count)) << "only " << Received().size() << " bytes arrived";
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        return Received();
    }

    // The printer answers the next settings command with exactly these bytes.
    void Script(vp::Bytes reply) {
        Printer().State().settings.Update(
            [&](vp::SettingsMemory& memory) { memory.scriptedReply = std::move(reply); });
    }
    vp::SettingsMemory Memory() { return Printer().State().settings.Get(); }
    template <typename Change>
    void ChangeMemory(Change change) {
        Printer().State().settings.Update(change);
    }

    // Polls a condition on the printer's side, which handles commands on its own thread.
    template <typename Condition>
    bool Eventually(Condition condition) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(3);
        while (!condition()) {
            if (std::chrono::steady_clock::now() > deadline) {
                return false;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return true;
    }

    bool PortOpen() const { return device.m_Port.m_bOpen != 0; }

    CPrinterDevice device;
    CPrinterSettings settings;
};

}  // namespace printdeck::test
