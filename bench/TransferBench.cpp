// Settings transfer runs against the virtual printer, measured against the
// protocol's own waits: the pauses the printer protocol and the progress
// window prescribe (reply waits, step timers, progress pauses). The ratio of
// measured time to those waits shows what the program itself adds; the goal
// is at most 1.10.

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <utility>

#include "BenchFiles.h"
#include "VirtualPrinter.h"
#include "device/PrinterDevice.h"
#include "settings/PrinterSettings.h"
#include "settings_editor/SettingsTransfer.h"
#include "transport/Clock.h"

namespace printdeck::bench {
namespace {

// The real clock, adding up every wait it is asked for.
class WaitCountingClock : public IClock {
public:
    std::uint64_t TickCount() override { return SystemClock().TickCount(); }
    void Sleep(std::uint32_t milliseconds) override {
        m_waitedMs += milliseconds;
        SystemClock().Sleep(milliseconds);
    }
    std::uint64_t TakeWaitedMs() { return std::exchange(m_waitedMs, 0); }

private:
    std::uint64_t m_waitedMs = 0;
};

// A new-firmware printer: the longest MSW read run (RF and Bluetooth rows
// included) and a write run with the Bluetooth settings.
class TransferSetup {
public:
    TransferSetup() : m_printer(PrinterOptions()), m_device(m_clock) {
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

    // Runs one mode; returns measured and prescribed milliseconds.
    std::pair<double, double> Run(int mode) {
        CSettingsTransfer transfer(&m_settings);
        m_clock.TakeWaitedMs();
        const auto start = std::chrono::steady_clock::now();
        if (!transfer.Run(mode)) {
            throw std::runtime_error("transfer run failed: " + transfer.m_strError);
        }
        const std::chrono::duration<double, std::milli> measured =
            std::chrono::steady_clock::now() - start;
        return {measured.count(), static_cast<double>(m_clock.TakeWaitedMs())};
    }

    CPrinterSettings& Settings() { return m_settings; }
    void ClosePort() { m_device.m_Port.Close(); }

private:
    static vp::PrinterOptions PrinterOptions() {
        vp::PrinterOptions options;
        options.listen = {"127.0.0.1", 0};
        options.identity.model = "_MRQ-T300";
        options.identity.firmware = "_V01.05";
        return options;
    }

    ScratchDir m_dir;
    vp::VirtualPrinter m_printer;
    WaitCountingClock m_clock;
    CPrinterDevice m_device;
    CPrinterSettings m_settings;
};

void ReportRatio(benchmark::State& state, double measuredMs, double waitsMs) {
    state.counters["measured_ms"] = measuredMs;
    state.counters["protocol_waits_ms"] = waitsMs;
    state.counters["ratio"] = measuredMs / waitsMs;
}

void BM_MswReadRun(benchmark::State& state) {
    TransferSetup setup;
    double measured = 0;
    double waits = 0;
    for (auto _ : state) {
        auto [runMs, waitMs] = setup.Run(ReadFromPrinter);
        setup.ClosePort();
        measured += runMs;
        waits += waitMs;
        state.SetIterationTime(runMs / 1000.0);
    }
    ReportRatio(state, measured / state.iterations(), waits / state.iterations());
}

void BM_MswWriteRun(benchmark::State& state) {
    TransferSetup setup;
    setup.Run(ReadFromPrinter);
    setup.Settings().m_bBluetoothOff = 0;
    double measured = 0;
    double waits = 0;
    for (auto _ : state) {
        auto [runMs, waitMs] = setup.Run(WriteToPrinter);
        measured += runMs;
        waits += waitMs;
        state.SetIterationTime(runMs / 1000.0);
    }
    ReportRatio(state, measured / state.iterations(), waits / state.iterations());
}

BENCHMARK(BM_MswReadRun)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MswWriteRun)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace printdeck::bench

BENCHMARK_MAIN();
