#include <CLI/CLI.hpp>
#include <filesystem>
#include <nlohmann/json.hpp>

#include "Commands.h"
#include "app/PortDoctor.h"
#include "transport/PortName.h"

namespace printdeck::cli {
namespace {

namespace fs = std::filesystem;

constexpr const char* kRuleName = "70-printdeck.rules";
constexpr const char* kPackagedRule = "/usr/share/printdeck/70-printdeck.rules";

// The udev rule installed beside this program, else where the package puts it.
std::string InstalledUdevRule() {
    std::error_code error;
    const fs::path program = fs::read_symlink("/proc/self/exe", error);
    const fs::path beside =
        (program.parent_path() / ".." / "share" / "printdeck" / kRuleName).lexically_normal();
    return !error && fs::exists(beside, error) ? beside.string() : kPackagedRule;
}

std::vector<DoctorFinding> Examine(const CliContext& context, bool portGiven) {
    CPortDoctor doctor(SystemRoots{}, UserIdentity::OfThisProcess(), InstalledUdevRule());
    if (!portGiven) {
        return doctor.CheckAll();
    }
    const Connection connection = context.ResolveConnection();
    const PortKind kind = CPrinterPort::KindOf(connection.portString);
    const std::string target = PortTarget(kind, connection.portString);
    if (kind == PortKind::Network) {
        return {CheckNetworkPort(connection.portString, target,
                                 static_cast<std::uint16_t>(connection.baudRate))};
    }
    return doctor.CheckDevicePort(connection.portString, target);
}

void PrintText(std::ostream& out, const std::vector<DoctorFinding>& findings) {
    std::size_t problems = 0;
    for (const DoctorFinding& finding : findings) {
        out << (finding.ok ? "ok       " : "PROBLEM  ");
        if (!finding.port.empty()) {
            out << finding.port << ": ";
        }
        out << finding.message;
        if (!finding.ok) {
            out << ". Fix: " << finding.fix;
            ++problems;
        }
        out << "\n";
    }
    out << (problems == 0
                ? std::string("No problems found.")
                : std::to_string(problems) + (problems == 1 ? " problem" : " problems") + " found.")
        << "\n";
}

void PrintJson(std::ostream& out, const std::vector<DoctorFinding>& findings) {
    nlohmann::json list = nlohmann::json::array();
    for (const DoctorFinding& finding : findings) {
        list.push_back(
            {{"port", finding.port},
             {"check", finding.check},
             {"ok", finding.ok},
             {"message", finding.message},
             {"fix", finding.ok ? nlohmann::json(nullptr) : nlohmann::json(finding.fix)}});
    }
    out << nlohmann::json{{"ok", AllFine(findings)}, {"findings", list}}.dump(2) << "\n";
}

}  // namespace

void AddDoctorCommand(CLI::App& app, CliContext& context) {
    CLI::App* command = app.add_subcommand(
        "doctor",
        "Check the printer ports of this machine, or the one given with --port: the node, its "
        "driver, your permission, other processes holding it, ModemManager; a network port "
        "must answer. Exit status 0 only when nothing is wrong");
    context.AddJsonFlag(*command, "Print the findings as one JSON object");
    command->callback([&context, &app] {
        context.RunOnce("doctor", [&context, &app] {
            const bool portGiven = app.get_option("--port")->count() > 0;
            const std::vector<DoctorFinding> findings = Examine(context, portGiven);
            if (context.JsonMode()) {
                PrintJson(context.Out(), findings);
            } else {
                PrintText(context.Out(), findings);
            }
            return AllFine(findings) ? kExitOk : kExitFailure;
        });
    });
}

}  // namespace printdeck::cli
