#include "CliContext.h"

#include <CLI/CLI.hpp>
#include <charconv>
#include <iostream>
#include <map>
#include <nlohmann/json.hpp>

#include "Fleet.h"
#include "Output.h"
#include "app/CommSettings.h"
#include "app/ConfigStore.h"
#include "device/ResultCodes.h"
#include "transport/PortName.h"

namespace printdeck::cli {
namespace {

const std::map<std::string, int> kParityNames = {{"none", 0}, {"odd", 1}, {"even", 2}};
const std::map<std::string, int> kFlowNames = {{"none", 0}, {"dtr-dsr", 1}};

// The connection the window stored, when it stored one.
std::optional<Connection> StoredConnection() {
    const std::optional<CommSettings> stored = ReadStoredCommSettings();
    if (!stored || stored->uPort.empty()) {
        return std::nullopt;
    }
    return Connection{stored->uPort,    stored->uBaudrate, stored->uParity,
                      stored->uDatabit, stored->uStopbit,  stored->uFlowcontrol};
}

// NET followed by an address and ":PORT", the TCP port as a number 1..65535:
// the address part and the port; nullopt for any other port string.
std::optional<std::pair<std::string, int>> SplitTcpPort(const std::string& port) {
    const std::size_t colon = port.rfind(':');
    if (colon == std::string::npos || port.rfind("NET", 0) != 0) {
        return std::nullopt;
    }
    const std::string digits = port.substr(colon + 1);
    int number = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
    if (digits.empty() || error != std::errc() || end != digits.data() + digits.size() ||
        number < 1 || number > 65535) {
        return std::nullopt;
    }
    return std::pair{port.substr(0, colon), number};
}

Connection DefaultConnection() {
    Connection connection;
    connection.portString = kDefaultNetworkPort;
    connection.baudRate = kDefaultTcpPort;
    return connection;
}

}  // namespace

void CliContext::AddConnectionOptions(CLI::App& app) {
    app.add_option("--port", m_port,
                   "Port string: a serial device name (ttyUSB0, ttyS0, COM1), a USB printer "
                   "device path (/dev/usb/lp0), LPTn, or NET followed by an IPv4 address "
                   "(NET192.168.0.10), optionally with its TCP port (NET192.168.0.10:9101). "
                   "Default: the connection stored by the window, else "
                   "NET127.0.0.1 (the virtual printer).");
    auto* ports =
        app.add_option("--ports", m_fleetPorts,
                       "Run the command on several printers at once, each over its own "
                       "connection: port strings separated by commas. Prints a summary (port, "
                       "model, firmware, outcome, seconds); exit status 0 only when every "
                       "printer succeeded. Each printer's traffic log goes to a file of its own "
                       "beside the usual log, named after its port. In a fleet, --baud is the "
                       "serial lines' baud rate; a NET entry gives its TCP port after a colon.")
            ->delimiter(',');
    auto* portsFile = app.add_option("--ports-file", m_portsFile,
                                     "As --ports, with one port string per line of the file "
                                     "(blank lines and lines starting with # are skipped)");
    ports->excludes("--port");
    portsFile->excludes("--port");
    ports->excludes(portsFile);
    app.add_option("--baud", m_baud,
                   "Baud rate of a serial line; for NET ports the TCP port number (default 9100)")
        ->check(CLI::Range(1, 4000000));
    app.add_option("--parity", m_parity, "Serial parity: none, odd or even")
        ->check(CLI::IsMember({"none", "odd", "even"}, CLI::ignore_case));
    app.add_option("--data-bits", m_dataBits, "Serial data bits (7 or 8)")
        ->check(CLI::IsMember({7, 8}));
    app.add_option("--stop-bits", m_stopBits, "Serial stop bits (1 or 2)")
        ->check(CLI::IsMember({1, 2}));
    app.add_option("--flow", m_flow, "Serial flow control: none or dtr-dsr")
        ->check(CLI::IsMember({"none", "dtr-dsr"}, CLI::ignore_case));
}

int CliContext::CheckBeforeRun() {
    if (const std::string problem = CConfigStore::StoreProblem(); !problem.empty()) {
        Err() << problem << "\n";
        return kExitFailure;
    }
    if (!IsFleet()) {
        const std::string problem = ConnectionProblem();
        if (!problem.empty()) {
            Err() << problem << "\n";
        }
        return problem.empty() ? kExitOk : kExitUsage;
    }
    std::vector<FleetEntry> entries;
    std::string error;
    if (!ListFleetPorts(m_fleetPorts, m_portsFile, entries, error)) {
        Err() << error << "\n";
        return kExitUsage;
    }
    m_fleetPorts.clear();
    std::ostream discard(nullptr);
    std::map<std::string, const FleetEntry*> seen;
    for (const FleetEntry& entry : entries) {
        const CliContext member = ForFleetMember(entry.port, discard, discard);
        if (const std::string problem = member.ConnectionProblem(); !problem.empty()) {
            Err() << entry.origin << ": " << problem << "\n";
            return kExitUsage;
        }
        // Two connections to one printer would break each other's exchange.
        if (const auto [first, added] = seen.try_emplace(member.ConnectionTarget(), &entry);
            !added) {
            Err() << "Ports " << first->second->port << " (" << first->second->origin << ") and "
                  << entry.port << " (" << entry.origin << ") name the same printer\n";
            return kExitUsage;
        }
        m_fleetPorts.push_back(entry.port);
    }
    return kExitOk;
}

std::string CliContext::ConnectionProblem() const {
    std::ostringstream text;
    if (const auto split = m_port ? SplitTcpPort(*m_port) : std::nullopt;
        split && m_baud && *m_baud != split->second) {
        text << "--port " << Excerpt(*m_port) << " names TCP port " << split->second
             << " but --baud names " << *m_baud << "; give the TCP port once";
        return text.str();
    }
    const Connection connection = ResolveConnection();
    const std::string problem =
        PortStringProblem(connection.portString, static_cast<std::uint32_t>(connection.baudRate));
    if (!problem.empty()) {
        text << "Bad port string \"" << Excerpt(connection.portString) << "\""
             << (m_port ? "" : " (stored by the window)") << ": " << problem << "\n"
             << kPortForms;
    }
    return text.str();
}

std::string CliContext::ConnectionTarget() const {
    const Connection connection = ResolveConnection();
    const PortKind kind = CPrinterPort::KindOf(connection.portString);
    const std::string target = PortTarget(kind, connection.portString);
    return kind == PortKind::Network ? target + ":" + std::to_string(connection.baudRate) : target;
}

void CliContext::RunOnPrinters(const PrinterRun& run) {
    m_exitCode = IsFleet() ? RunFleet(*this, m_fleetPorts, run) : run(*this);
}

void CliContext::RunOnce(const std::string& command, const std::function<int()>& run) {
    if (IsFleet()) {
        Err() << command << " runs once, not on every printer of a fleet: leave out --ports and "
              << "--ports-file\n";
        m_exitCode = kExitUsage;
        return;
    }
    m_exitCode = run();
}

CliContext CliContext::ForFleetMember(const std::string& port, std::ostream& out,
                                      std::ostream& err) const {
    CliContext member(out, err);
    member.m_port = port;
    // A NET entry carries its TCP port itself.
    if (CPrinterPort::KindOf(port) != PortKind::Network) {
        member.m_baud = m_baud;
    }
    member.m_parity = m_parity;
    member.m_dataBits = m_dataBits;
    member.m_stopBits = m_stopBits;
    member.m_flow = m_flow;
    member.m_json = m_json;
    member.m_fleetMember = true;
    return member;
}

void CliContext::NoteIdentity(const CPrinterDevice& device) const {
    if (!device.m_strModelName.empty()) {
        m_identity = PrinterIdentity{device.m_strModelName, device.m_strVersion};
    }
}

Connection CliContext::ResolveConnection() const {
    Connection connection;
    if (const auto split = m_port ? SplitTcpPort(*m_port) : std::nullopt) {
        connection.portString = split->first;
        connection.baudRate = split->second;
    } else if (m_port) {
        connection.portString = *m_port;
        if (CPrinterPort::KindOf(*m_port) == PortKind::Network) {
            connection.baudRate = kDefaultTcpPort;
        }
    } else {
        connection = StoredConnection().value_or(DefaultConnection());
    }
    if (m_baud) {
        connection.baudRate = *m_baud;
    }
    if (m_parity) {
        connection.parity = kParityNames.at(CLI::detail::to_lower(*m_parity));
    }
    if (m_dataBits) {
        connection.dataBits = *m_dataBits;
    }
    if (m_stopBits) {
        connection.stopBits = *m_stopBits == 2 ? 2 : 0;
    }
    if (m_flow) {
        connection.flowControl = kFlowNames.at(CLI::detail::to_lower(*m_flow));
    }
    return connection;
}

void CliContext::ConfigureDevice(CPrinterDevice& device) const {
    Connection connection = ResolveConnection();
    device.m_strPortName = connection.portString;
    device.m_nBaudRate = connection.baudRate;
    device.m_nParity = connection.parity;
    device.m_nDataBits = connection.dataBits;
    device.m_nStopBits = connection.stopBits;
    device.m_nFlowControl = connection.flowControl;
    device.ApplyPortSettings();
}

void CliContext::ConfigurePort(CPrinterPort& port) const {
    const Connection connection = ResolveConnection();
    port.m_strPortName = connection.portString;
    port.m_nBaudRate = static_cast<std::uint32_t>(connection.baudRate);
    port.m_nParity = static_cast<std::uint8_t>(connection.parity);
    port.m_nDataBits = static_cast<std::uint8_t>(connection.dataBits);
    port.m_nStopBits = static_cast<std::uint8_t>(connection.stopBits);
    port.m_nFlowControl = connection.flowControl;
}

void CliContext::AddJsonFlag(CLI::App& command, const std::string& description) {
    command.add_flag("--json", m_json, description);
}

void CliContext::NoteFailure(const std::string& message, std::optional<int> resultCode) const {
    if (m_failure) {
        if (m_json) {
            m_errorText << message << "\n";
        }
        return;
    }
    m_failure = message;
    m_resultCode = resultCode;
}

ProgressLine CliContext::NewProgressLine() const {
    const bool terminal = IsTerminal(m_err);
    if (m_fleetMember || (m_json && !terminal)) {
        return ProgressLine::Silent();
    }
    return ProgressLine(m_err, terminal);
}

namespace {

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);) {
        if (!line.empty()) {
            lines.push_back(line);
        }
    }
    return lines;
}

}  // namespace

void CliContext::FinishRun(int exitStatus) const {
    if (!m_json) {
        return;
    }
    std::vector<std::string> details = Lines(m_errorText.str());
    if (exitStatus == kExitOk) {
        if (!details.empty()) {
            m_err << nlohmann::json{{"warnings", details}}.dump(2) << "\n";
        }
        return;
    }
    std::string message = m_failure.value_or("");
    if (!m_failure && !details.empty()) {
        message = details.front();
        details.erase(details.begin());
    }
    nlohmann::json error{{"exitStatus", exitStatus},
                         {"message", message},
                         {"result", nullptr},
                         {"resultName", nullptr},
                         {"details", details}};
    if (m_resultCode) {
        error["result"] = *m_resultCode;
        error["resultName"] = ResultCodeName(*m_resultCode);
    }
    m_err << nlohmann::json{{"error", error}}.dump(2) << "\n";
}

}  // namespace printdeck::cli
