// printdeck-cli fleet runs on 32 virtual printers at once, measured against
// the same command on one of them: the printers' waits overlap, so the
// fleet should take hardly longer than one printer.

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <nlohmann/json.hpp>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "../BenchFiles.h"
#include "Cli.h"
#include "FloorTable.h"
#include "VirtualPrinter.h"

namespace printdeck::bench {
namespace {

constexpr int kFleetSize = 32;

class FleetBench {
public:
    FleetBench() {
        ::setenv("PRINTDECK_LOG", (m_dir / "SbinLog.txt").c_str(), 1);
        ::setenv("PRINTDECK_STORE", (m_dir / "printdeck.reg").c_str(), 1);
        for (int i = 0; i < kFleetSize; ++i) {
            vp::PrinterOptions options;
            options.listen = {"127.0.0.1", 0};
            m_printers.push_back(std::make_unique<vp::VirtualPrinter>(options));
            std::string error;
            if (!m_printers.back()->Start(&error)) {
                throw std::runtime_error("virtual printer did not start: " + error);
            }
        }
        WriteProfiles();
    }

    // Seconds of one command on the fleet and on its first printer alone.
    // Each call names other values than the last, so every run writes.
    Pair SetBoth(bool fromProfile) {
        const double fleet = Seconds(Command(fromProfile), FleetPorts());
        const double one = Seconds(Command(fromProfile), OnePort());
        return {fleet, one};
    }

private:
    std::vector<std::string> FleetPorts() const {
        std::string ports;
        for (const auto& printer : m_printers) {
            ports += ports.empty() ? "" : ",";
            ports += PortOf(*printer);
        }
        return {"--ports", ports};
    }
    std::vector<std::string> OnePort() const { return {"--port", PortOf(*m_printers.front())}; }
    static std::string PortOf(const vp::VirtualPrinter& printer) {
        return "NET127.0.0.1:" + std::to_string(printer.Port());
    }

    std::vector<std::string> Command(bool fromProfile) {
        m_density = m_density == 1 ? 3 : 1;
        if (fromProfile) {
            return {"settings", "set", "--from", m_profiles[m_density == 1 ? 0 : 1], "--verify"};
        }
        return {"settings", "set", "Density=" + std::to_string(m_density)};
    }

    // A whole profile of the printer, as settings get --json writes it, in
    // two versions that differ in one setting.
    void WriteProfiles() {
        std::ostringstream profile;
        Cli({"settings", "get", "--json"}, OnePort(), &profile);
        nlohmann::ordered_json settings = nlohmann::ordered_json::parse(profile.str());
        for (const int density : {1, 3}) {
            settings["Density"] = density;
            m_profiles.push_back(
                (m_dir / ("profile" + std::to_string(density) + ".json")).string());
            std::ofstream(m_profiles.back()) << settings.dump(2);
        }
    }

    static void Cli(const std::vector<std::string>& command, std::vector<std::string> args,
                    std::ostringstream* output = nullptr) {
        args.insert(args.begin(), "printdeck-cli");
        args.insert(args.end(), command.begin(), command.end());
        std::vector<const char*> argv;
        for (const std::string& arg : args) {
            argv.push_back(arg.c_str());
        }
        std::ostringstream out;
        std::ostringstream err;
        if (cli::RunCli(static_cast<int>(argv.size()), argv.data(), output ? *output : out, err) !=
            0) {
            throw std::runtime_error("printdeck-cli failed: " + err.str());
        }
    }

    static double Seconds(const std::vector<std::string>& command,
                          const std::vector<std::string>& connection) {
        const auto start = std::chrono::steady_clock::now();
        Cli(command, connection);
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }

    ScratchDir m_dir;
    std::vector<std::unique_ptr<vp::VirtualPrinter>> m_printers;
    std::vector<std::string> m_profiles;
    int m_density = 1;
};

double FleetOverOne(const Pair& pair) {
    return pair.value / pair.floor;
}

}  // namespace

void AddFleetRows(int runs, std::vector<FloorRow>& rows) {
    FleetBench bench;
    const std::string size = std::to_string(kFleetSize);
    rows.push_back(MeasureRow(
        "settings set on " + size + " printers at once (time / one printer)", "s", 1.2, true, runs,
        [&] { return bench.SetBoth(false); }, FleetOverOne));
    rows.push_back(MeasureRow(
        "settings set --from profile --verify on " + size + " printers (time / one printer)", "s",
        1.2, true, runs, [&] { return bench.SetBoth(true); }, FleetOverOne));
}

}  // namespace printdeck::bench
