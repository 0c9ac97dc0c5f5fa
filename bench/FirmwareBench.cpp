// Firmware send rate over loopback TCP, against a plain socket copy of the
// same file to the same receiving printer. Prints their ratio at the end.

#include <arpa/inet.h>
#include <benchmark/benchmark.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "BenchFiles.h"
#include "VirtualPrinter.h"
#include "firmware/FirmwareSender.h"

namespace printdeck::bench {
namespace {

using namespace std::chrono_literals;

constexpr std::size_t kFirmwareBytes = 4 * 1024 * 1024;
constexpr const char* kSenderName = "BM_FirmwareSender";
constexpr const char* kPlainName = "BM_PlainSocketCopy";

// One receiving printer and one firmware file shared by both benchmarks, so
// that they differ only in the sending side.
class Loopback {
public:
    Loopback() : m_printer(ReceivingOptions(m_dir)) {
        // The sender's port logs every write, as in the product; keep the
        // log out of the user's files.
        ::setenv("PRINTDECK_LOG", (m_dir / "SbinLog.txt").c_str(), 1);
        WriteBytes(File(), NoiseBytes(kFirmwareBytes));
        std::string error;
        if (!m_printer.Start(&error)) {
            throw std::runtime_error("virtual printer did not start: " + error);
        }
    }

    std::string File() const { return (m_dir / "image.fls").string(); }
    std::uint16_t Port() const { return m_printer.Port(); }

    // Waits until the printer has taken in one more whole connection, and
    // forgets what it recorded so memory stays flat.
    bool AwaitDelivery() {
        ++m_connections;
        const bool ended = m_printer.Firmware().WaitForEndedConnections(m_connections, 10s);
        m_printer.Record().Clear();
        return ended;
    }

private:
    static vp::PrinterOptions ReceivingOptions(const ScratchDir& dir) {
        vp::PrinterOptions options;
        options.listen = {"127.0.0.1", 0};
        options.firmwarePath = (dir / "received.fls").string();
        return options;
    }

    ScratchDir m_dir;
    vp::VirtualPrinter m_printer;
    std::size_t m_connections = 0;
};

Loopback& Shared() {
    static Loopback loopback;
    return loopback;
}

void BM_FirmwareSender(benchmark::State& state) {
    Loopback& loopback = Shared();
    CFirmwareSender sender;
    sender.SetPortSettings("NET127.0.0.1", loopback.Port(), 0, 8, 0, 0);
    for (auto _ : state) {
        if (sender.Download(loopback.File()).outcome != FirmwareOutcome::Sent ||
            !loopback.AwaitDelivery()) {
            state.SkipWithError("the firmware did not arrive");
            break;
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kFirmwareBytes));
}
BENCHMARK(BM_FirmwareSender)->Unit(benchmark::kMillisecond)->UseRealTime();

std::vector<char> ReadFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary | std::ios::ate);
    std::vector<char> bytes(static_cast<std::size_t>(std::max<std::streamoff>(file.tellg(), 0)));
    file.seekg(0);
    file.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return file ? bytes : std::vector<char>();
}

// Reads the file and writes it to the printer with blocking sends; true when
// every byte was accepted.
bool CopyOverSocket(const std::string& path, std::uint16_t port) {
    const std::vector<char> bytes = ReadFile(path);
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in peer{};
    peer.sin_family = AF_INET;
    peer.sin_port = htons(port);
    peer.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bool sent = fd >= 0 && ::connect(fd, reinterpret_cast<sockaddr*>(&peer), sizeof peer) == 0;
    for (std::size_t done = 0; sent && done < bytes.size();) {
        const ssize_t moved = ::send(fd, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
        sent = moved > 0;
        done += sent ? static_cast<std::size_t>(moved) : 0;
    }
    if (fd >= 0) {
        ::close(fd);
    }
    return sent && !bytes.empty();
}

void BM_PlainSocketCopy(benchmark::State& state) {
    Loopback& loopback = Shared();
    for (auto _ : state) {
        if (!CopyOverSocket(loopback.File(), loopback.Port()) || !loopback.AwaitDelivery()) {
            state.SkipWithError("the copy did not arrive");
            break;
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kFirmwareBytes));
}
BENCHMARK(BM_PlainSocketCopy)->Unit(benchmark::kMillisecond)->UseRealTime();

// The console report, keeping each benchmark's mean byte rate for the ratio.
class RateReporter : public benchmark::ConsoleReporter {
public:
    // Colours only on a terminal, so redirected output stays plain text.
    RateReporter() : ConsoleReporter(::isatty(STDOUT_FILENO) != 0 ? OO_ColorTabular : OO_Tabular) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            const auto rate = run.counters.find("bytes_per_second");
            if (run.run_type == Run::RT_Iteration && !run.error_occurred &&
                rate != run.counters.end()) {
                Rate& entry = m_rates[run.run_name.function_name];
                entry.sum += rate->second.value;
                ++entry.count;
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }

    // Mean rate of a benchmark; 0 when it did not run.
    double Mean(const std::string& name) const {
        const auto found = m_rates.find(name);
        return found == m_rates.end() ? 0.0 : found->second.sum / found->second.count;
    }

private:
    struct Rate {
        double sum = 0;
        int count = 0;
    };
    std::map<std::string, Rate> m_rates;
};

}  // namespace
}  // namespace printdeck::bench

int main(int argc, char** argv) {
    using printdeck::bench::RateReporter;
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    RateReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    const double sender = reporter.Mean(printdeck::bench::kSenderName);
    const double plain = reporter.Mean(printdeck::bench::kPlainName);
    if (sender > 0 && plain > 0) {
        std::printf("firmware send rate / plain socket copy rate: %.3f (%.1f / %.1f MiB/s)\n",
                    sender / plain, sender / (1024 * 1024), plain / (1024 * 1024));
    }
    return 0;
}
