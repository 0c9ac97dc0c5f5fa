#include "Fleet.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iomanip>
#include <memory>
#include <mutex>
#include <nlohmann/json.hpp>
#include <sstream>
#include <thread>

#include "Interrupts.h"
#include "Output.h"
#include "app/ConfigStore.h"
#include "device/ResultCodes.h"
#include "transport/CommLog.h"

namespace printdeck::cli {
namespace {

// A list of ports is a few kilobytes; anything near this is no such list.
constexpr std::uintmax_t kMaxPortsFileBytes = 1 << 20;

std::string Trimmed(const std::string& text) {
    const std::size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

bool ReadPortsFile(const std::string& path, std::vector<FleetEntry>& entries, std::string& error) {
    const std::string name = Excerpt(path);
    std::error_code code;
    const auto status = std::filesystem::status(path, code);
    if (code) {
        error = name + ": " + code.message();
        return false;
    }
    // A FIFO or a device could block the run or never end.
    if (!std::filesystem::is_regular_file(status)) {
        error = name + ": not a regular file";
        return false;
    }
    if (std::filesystem::file_size(path, code) > kMaxPortsFileBytes) {
        error = name + ": more than " + std::to_string(kMaxPortsFileBytes) + " bytes";
        return false;
    }
    std::ifstream in(path);
    if (!in) {
        error = name + ": " + std::strerror(errno);
        return false;
    }
    int lineNumber = 0;
    for (std::string line; std::getline(in, line);) {
        ++lineNumber;
        const std::string port = Trimmed(line);
        if (!port.empty() && port.front() != '#') {
            entries.push_back({port, name + ":" + std::to_string(lineNumber)});
        }
    }
    if (in.bad()) {
        error = name + ": " + std::strerror(errno);
        return false;
    }
    return true;
}

bool CheckEntries(const std::vector<FleetEntry>& entries, std::string& error) {
    if (entries.empty()) {
        error = "--ports and --ports-file name no port";
        return false;
    }
    if (entries.size() > kMaxFleetPrinters) {
        error = "A fleet run takes at most " + std::to_string(kMaxFleetPrinters) +
                " printers, not " + std::to_string(entries.size());
        return false;
    }
    return true;
}

// What one printer's run left for the summary.
struct MemberRun {
    std::string port;
    std::string log;
    std::ostringstream out;
    std::ostringstream err;
    CStoreChanges store;
    int status = kExitFailure;
    double seconds = 0;
    std::optional<PrinterIdentity> identity;
    std::string outcome;
};

std::string FirstLine(const std::string& text) {
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        if (!Trimmed(line).empty()) {
            return line;
        }
    }
    return {};
}

// "ok", what the command noted, else the headline of its failure: the
// first it reported, or the first line it wrote on its error stream (in
// JSON mode the message of its error object).
std::string OutcomeOf(const CliContext& context, int status, const std::string& errorText) {
    if (context.Outcome()) {
        return *context.Outcome();
    }
    if (status == kExitOk) {
        return "ok";
    }
    std::string headline = context.FailureHeadline().value_or(errorText);
    if (context.JsonMode() && !context.FailureHeadline()) {
        const nlohmann::json parsed = nlohmann::json::parse(errorText, nullptr, false);
        headline = parsed.is_object()
                       ? parsed.value(nlohmann::json::json_pointer("/error/message"), "")
                       : "";
    }
    headline = FirstLine(headline);
    if (headline.empty()) {
        return "exit status " + std::to_string(status);
    }
    if (const std::optional<int> result = context.FailureResult()) {
        headline += " (result " + std::to_string(*result) + ": " + ResultCodeName(*result) + ")";
    }
    return headline;
}

void RunMember(const CliContext& fleet, const PrinterRun& run, MemberRun& member) {
    const auto start = std::chrono::steady_clock::now();
    const CCommLog::ThreadRedirect log(member.log);
    const CDeferredStoreWrites deferred(member.store);
    const CliContext context = fleet.ForFleetMember(member.port, member.out, member.err);
    member.status = run(context);
    context.FinishRun(member.status);
    member.identity = context.Identity();
    member.outcome = OutcomeOf(context, member.status, member.err.str());
    member.seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Starts every run, shows how many have finished and waits for the last.
void RunAll(const CliContext& fleet, const PrinterRun& run,
            std::vector<std::unique_ptr<MemberRun>>& members) {
    std::mutex mutex;
    std::condition_variable finishedOne;
    std::size_t finished = 0;
    std::vector<std::jthread> threads;
    threads.reserve(members.size());
    for (auto& member : members) {
        threads.emplace_back([&, target = member.get()] {
            RunMember(fleet, run, *target);
            const std::lock_guard lock(mutex);
            ++finished;
            finishedOne.notify_one();
        });
    }
    ProgressLine progress = fleet.NewProgressLine();
    std::unique_lock lock(mutex);
    for (std::size_t shown = 0; shown < members.size();) {
        finishedOne.wait(lock, [&] { return finished > shown; });
        shown = finished;
        progress.Show("Printers finished : " + std::to_string(shown) + " of " +
                      std::to_string(members.size()));
    }
    lock.unlock();
    progress.End();
}

void PrintSection(std::ostream& stream, const std::string& port, const std::string& text) {
    if (text.empty()) {
        return;
    }
    stream << "== " << port << " ==\n" << text;
    if (text.back() != '\n') {
        stream << "\n";
    }
}

std::string Seconds(double seconds) {
    std::ostringstream text;
    text << std::fixed << std::setprecision(1) << seconds;
    return text.str();
}

void PrintSummary(std::ostream& out, const std::vector<std::unique_ptr<MemberRun>>& members) {
    using Row = std::array<std::string, 5>;
    std::vector<Row> rows{{"PORT", "MODEL", "FIRMWARE", "OUTCOME", "SECONDS"}};
    for (const auto& member : members) {
        rows.push_back({member->port, member->identity ? member->identity->model : "-",
                        member->identity ? member->identity->firmware : "-",
                        Excerpt(member->outcome), Seconds(member->seconds)});
    }
    std::array<std::size_t, 5> widths{};
    for (const Row& row : rows) {
        for (std::size_t column = 0; column < row.size(); ++column) {
            widths[column] = std::max(widths[column], row[column].size());
        }
    }
    for (const Row& row : rows) {
        for (std::size_t column = 0; column + 1 < row.size(); ++column) {
            out << std::left << std::setw(static_cast<int>(widths[column] + 2)) << row[column];
        }
        out << std::right << std::setw(static_cast<int>(widths.back())) << row.back() << "\n";
    }
}

nlohmann::ordered_json ParsedOrText(const std::string& text) {
    if (Trimmed(text).empty()) {
        return nullptr;
    }
    nlohmann::ordered_json parsed = nlohmann::ordered_json::parse(text, nullptr, false);
    return parsed.is_discarded() ? nlohmann::ordered_json(text) : parsed;
}

nlohmann::ordered_json SummaryJson(const std::vector<std::unique_ptr<MemberRun>>& members,
                                   std::size_t failed) {
    nlohmann::ordered_json printers = nlohmann::ordered_json::array();
    for (const auto& member : members) {
        const nlohmann::ordered_json error = ParsedOrText(member->err.str());
        printers.push_back(
            {{"port", member->port},
             {"model",
              member->identity ? nlohmann::ordered_json(member->identity->model) : nullptr},
             {"firmware",
              member->identity ? nlohmann::ordered_json(member->identity->firmware) : nullptr},
             {"exitStatus", member->status},
             {"outcome", member->outcome},
             {"seconds", std::round(member->seconds * 1000) / 1000},
             {"log", member->log},
             {"output", ParsedOrText(member->out.str())},
             {"error", error.is_object() && error.contains("error") ? error["error"] : error}});
    }
    return {{"printers", printers}, {"succeeded", members.size() - failed}, {"failed", failed}};
}

int FleetStatus(const std::vector<std::unique_ptr<MemberRun>>& members, std::size_t failed) {
    if (failed == 0) {
        return kExitOk;
    }
    if (Interrupts::Requested()) {
        return kExitInterrupted;
    }
    const bool onlyUsage = std::ranges::all_of(members, [](const auto& member) {
        return member->status == kExitOk || member->status == kExitUsage;
    });
    return onlyUsage ? kExitUsage : kExitFailure;
}

}  // namespace

bool ListFleetPorts(const std::vector<std::string>& listed, const std::string& file,
                    std::vector<FleetEntry>& entries, std::string& error) {
    entries.clear();
    for (std::size_t i = 0; i < listed.size(); ++i) {
        entries.push_back({Trimmed(listed[i]), "--ports entry " + std::to_string(i + 1)});
    }
    if (!file.empty() && !ReadPortsFile(file, entries, error)) {
        return false;
    }
    return CheckEntries(entries, error);
}

int RunFleet(const CliContext& fleet, const std::vector<std::string>& ports,
             const PrinterRun& run) {
    std::vector<std::unique_ptr<MemberRun>> members;
    for (const std::string& port : ports) {
        auto member = std::make_unique<MemberRun>();
        member->port = port;
        member->log = CCommLog::LogFilePathFor(port);
        members.push_back(std::move(member));
    }
    RunAll(fleet, run, members);

    const auto failed = static_cast<std::size_t>(std::ranges::count_if(
        members, [](const auto& member) { return member->status != kExitOk; }));
    int status = FleetStatus(members, failed);
    if (fleet.JsonMode()) {
        fleet.Out() << SummaryJson(members, failed).dump(2) << "\n";
    } else {
        for (const auto& member : members) {
            PrintSection(fleet.Out(), member->port, member->out.str());
            PrintSection(fleet.Err(), member->port, member->err.str());
        }
        PrintSummary(fleet.Out(), members);
        fleet.Out() << members.size() << " printer(s): " << members.size() - failed
                    << " succeeded, " << failed
                    << " failed. Traffic logs: " << CCommLog::LogFilePathFor("PORT")
                    << ", one per port.\n";
    }

    std::vector<const CStoreChanges*> changes;
    for (const auto& member : members) {
        changes.push_back(&member->store);
    }
    if (const int error = CStoreChanges::CommitAll(changes); error != 0) {
        ReportFailure(fleet,
                      "The printers' results could not be saved in " +
                          CConfigStore::StoreFilePath() + ": " + std::strerror(error),
                      std::nullopt);
        status = kExitFailure;
    }
    if (failed > 0) {
        ReportFailure(fleet,
                      std::to_string(failed) + " of " + std::to_string(members.size()) +
                          " printer(s) failed.",
                      std::nullopt);
        for (const auto& member : members) {
            if (member->status != kExitOk) {
                fleet.Err() << member->port << ": " << member->outcome << "\n";
            }
        }
    }
    return status;
}

}  // namespace printdeck::cli
