// Settings read and write runs of each dialect against the virtual printer,
// measured against the waits the protocol and the progress window prescribe.

#include <chrono>
#include <cstdlib>
#include <stdexcept>
#include <string>

#include "../BenchFiles.h"
#include "../WaitCountingClock.h"
#include "FloorTable.h"
#include "VirtualPrinter.h"
#include "device/PrinterDevice.h"
#include "settings/PrinterSettings.h"
#include "settings_editor/SettingsTransfer.h"

namespace printdeck::bench {
namespace {

class SettingsBench {
public:
    explicit SettingsBench(const vp::DialectPreset& dialect)
        : m_printer(Options(dialect)), m_device(m_clock) {
        ::setenv("PRINTDECK_LOG", (m_dir / "SbinLog.txt").c_str(), 1);
        std::string error;
        if (!m_printer.Start(&error)) {
            throw std::runtime_error("virtual printer did not start: " + error);
        }
        m_device.m_strPortName = "NET127.0.0.1";
        m_device.m_nBaudRate = m_printer.Port();
        m_device.ApplyPortSettings();
        m_settings.m_pDevice = &m_device;
    }

    // Measured and prescribed milliseconds of one run.
    Pair Run(int mode) {
        CSettingsTransfer transfer(&m_settings);
        m_clock.TakeWaitedMs();
        const auto start = std::chrono::steady_clock::now();
        const bool done = transfer.Run(mode);
        const std::chrono::duration<double, std::milli> took =
            std::chrono::steady_clock::now() - start;
        m_device.m_Port.Close();
        if (!done) {
            throw std::runtime_error("settings run failed: " + transfer.m_strError);
        }
        return {took.count(), static_cast<double>(m_clock.TakeWaitedMs())};
    }

private:
    static vp::PrinterOptions Options(const vp::DialectPreset& dialect) {
        vp::PrinterOptions options;
        options.listen = {"127.0.0.1", 0};
        options.identity.model = dialect.model;
        options.identity.firmware = dialect.firmware;
        return options;
    }

    ScratchDir m_dir;
    vp::VirtualPrinter m_printer;
    WaitCountingClock m_clock;
    CPrinterDevice m_device;
    CPrinterSettings m_settings;
};

double TimeOverWaits(const Pair& pair) {
    return pair.value / pair.floor;
}

}  // namespace

void AddSettingsRows(int runs, std::vector<FloorRow>& rows) {
    for (const vp::DialectPreset& dialect : vp::kDialectPresets) {
        SettingsBench bench(dialect);
        for (const auto& [mode, what] :
             {std::pair{ReadFromPrinter, "read"}, std::pair{WriteToPrinter, "write"}}) {
            // A write run sends what the last read run brought in.
            bench.Run(ReadFromPrinter);
            rows.push_back(MeasureRow(
                std::string("settings ") + what + " run, " + dialect.name +
                    " (time / prescribed waits)",
                "ms", 1.05, true, runs, [&] { return bench.Run(mode); }, TimeOverWaits));
        }
    }
}

}  // namespace printdeck::bench
