#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "SkippingClock.h"
#include "device/PrinterDevice.h"
#include "nvimage/NvImageList.h"
#include "support/TempDir.h"
#include "support/VirtualPrinterFixture.h"

namespace printdeck::test {

// A firmware reply that puts a T200 into the indexed NV family (22100).
inline constexpr const char* kIndexedFirmware = "_S02.10";
inline constexpr int kIndexedVersion = 22100;

// The bytes of every NV command the printer took that carried image data:
// key-code definitions and indexed downloads, in arrival order.
inline vp::Bytes ImageCommands(const std::vector<vp::CommandEvent>& events) {
    vp::Bytes all;
    for (const vp::CommandEvent& event : events) {
        const bool define =
            event.handler == "nv-key-code" && event.bytes.size() > 16 && event.bytes[6] == 0x43;
        const bool download = event.handler == "nv-indexed" && event.bytes[2] == 0x37;
        if (define || download) {
            all.insert(all.end(), event.bytes.begin(), event.bytes.end());
        }
    }
    return all;
}

// An image list whose printer object talks to a virtual printer, with the
// store and the log of its own and protocol waits skipped.
class NvPrinterTest : public VirtualPrinterTest {
protected:
    NvPrinterTest() {
        Connect(m_device);
        m_list.m_pDevice = &m_device;
    }

    void OpenPort() { ASSERT_TRUE(m_device.m_Port.Open()); }
    // The printer answers as the indexed family; the host believes it.
    void UseIndexedPrinter() {
        SetFirmware(kIndexedFirmware);
        m_device.g_Getver = kIndexedVersion;
    }
    // What the printer received from `action`: a marker written behind it
    // shows when everything has arrived.
    template <typename Action>
    vp::Bytes SentBy(Action action) {
        static const vp::Bytes kMarker = {0x1B, 0x40, 0x1B, 0x40};
        ClearReceived();
        action();
        EXPECT_EQ(m_device.m_Port.Write(kMarker.data(), static_cast<int>(kMarker.size())),
                  static_cast<int>(kMarker.size()));
        for (int attempt = 0; attempt < 300; ++attempt) {
            vp::Bytes received = Received();
            if (received.size() >= kMarker.size() &&
                std::equal(kMarker.begin(), kMarker.end(),
                           received.end() - static_cast<long>(kMarker.size()))) {
                received.resize(received.size() - kMarker.size());
                return received;
            }
            WaitForReceived(received.size() + 1, std::chrono::milliseconds(10));
        }
        ADD_FAILURE() << "marker never arrived";
        return Received();
    }

    static CNvDownloadRecord FilledRecord(const std::string& name, std::size_t size) {
        CNvDownloadRecord record;
        record.m_strName = name;
        record.m_Data.assign(size, 'A');
        return record;
    }

    IsolatedFiles m_files;
    SkippingClock m_clock;
    CPrinterDevice m_device{m_clock};
    CNvImageList m_list;
};

}  // namespace printdeck::test
