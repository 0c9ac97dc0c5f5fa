#pragma once

#include <functional>
#include <optional>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#include "ProgressLine.h"
#include "app/CommSettings.h"
#include "device/PrinterDevice.h"

namespace CLI {
class App;
}

namespace printdeck::cli {

// The connection a command talks over: from the options, else the one the
// window stored, else the virtual printer on this machine.
struct Connection {
    std::string portString;
    int baudRate = 115200;  // the TCP port number for NET ports
    int parity = 0;         // 0 none, 1 odd, 2 even
    int dataBits = 8;
    int stopBits = 0;  // 0 one, 2 two
    int flowControl = 0;
};

inline constexpr const char* kDefaultNetworkPort = "NET127.0.0.1";

// The model and firmware a command found, as a fleet's summary shows them.
struct PrinterIdentity {
    std::string model;     // "MRQ-T300"
    std::string firmware;  // "V01.05"
};

class CliContext;
// A command's work on one printer, told through that printer's context;
// returns the exit status.
using PrinterRun = std::function<int(const CliContext&)>;

// What every command shares: the output streams, the connection options
// and the exit status of the command that ran.
class CliContext {
public:
    CliContext(std::ostream& out, std::ostream& err) : m_out(out), m_err(err) {}

    std::ostream& Out() const { return m_out; }
    // Where failures are told; in JSON mode they are gathered for FinishRun.
    std::ostream& Err() const { return m_json ? m_errorText : m_err; }

    // Registers --json on a command: its result goes to the output stream as
    // JSON, and a failure to the error stream as one JSON object.
    void AddJsonFlag(CLI::App& command, const std::string& description);
    bool JsonMode() const { return m_json; }
    // The headline of a failure and its printer result code, if any.
    void NoteFailure(const std::string& message, std::optional<int> resultCode) const;
    // A progress line on the error stream; in JSON mode only on a terminal,
    // so the error stream of a script holds nothing but JSON.
    ProgressLine NewProgressLine() const;
    // Ends the run with this exit status; in JSON mode prints what was gathered.
    void FinishRun(int exitStatus) const;

    // Registers --port, --ports, --ports-file, --baud, --parity, --data-bits,
    // --stop-bits, --flow.
    void AddConnectionOptions(CLI::App& app);
    // Checks what every command that talks to a printer relies on, before it
    // runs, and reads the fleet's ports; kExitOk, or the exit status after
    // saying what is wrong.
    int CheckBeforeRun();

    // Runs a command that talks to a printer: over the one connection, or
    // on every printer of the fleet at once; sets the exit status.
    void RunOnPrinters(const PrinterRun& run);
    // Runs a command that runs once, not per printer (it talks to no
    // printer, or writes one file); naming a fleet for it is a usage error.
    // `command` names it in that message ("prn show").
    void RunOnce(const std::string& command, const std::function<int()>& run);
    // The context of one printer of the fleet: these options with its own
    // port, its own streams and no progress line.
    CliContext ForFleetMember(const std::string& port, std::ostream& out, std::ostream& err) const;

    // What a fleet's summary shows of a run: the printer it identified, the
    // headline of its first failure, and a result that is no failure
    // ("2 setting(s) differ").
    void NoteIdentity(const CPrinterDevice& device) const;
    void NoteOutcome(const std::string& outcome) const { m_outcome = outcome; }
    const std::optional<PrinterIdentity>& Identity() const { return m_identity; }
    const std::optional<std::string>& FailureHeadline() const { return m_failure; }
    const std::optional<int>& FailureResult() const { return m_resultCode; }
    const std::optional<std::string>& Outcome() const { return m_outcome; }
    // The connection to use, resolved from options, store and defaults.
    Connection ResolveConnection() const;
    // Hands the resolved connection to the printer object and its port.
    void ConfigureDevice(CPrinterDevice& device) const;
    // Hands the resolved connection to a port of its own (the firmware download's).
    void ConfigurePort(CPrinterPort& port) const;

    int ExitCode() const { return m_exitCode; }

private:
    // Why the connection's port string cannot be used; empty when it can.
    std::string ConnectionProblem() const;
    // What the connection opens ("/dev/ttyS0", "192.168.0.10:9100"), so that
    // two spellings of one port compare equal.
    std::string ConnectionTarget() const;
    bool IsFleet() const { return !m_fleetPorts.empty() || !m_portsFile.empty(); }

    std::ostream& m_out;
    std::ostream& m_err;
    std::optional<std::string> m_port;
    std::vector<std::string> m_fleetPorts;
    std::string m_portsFile;
    std::optional<int> m_baud;
    std::optional<std::string> m_parity;
    std::optional<int> m_dataBits;
    std::optional<int> m_stopBits;
    std::optional<std::string> m_flow;
    int m_exitCode = 0;
    bool m_json = false;
    bool m_fleetMember = false;
    mutable std::ostringstream m_errorText;
    mutable std::optional<std::string> m_failure;
    mutable std::optional<int> m_resultCode;
    mutable std::optional<PrinterIdentity> m_identity;
    mutable std::optional<std::string> m_outcome;
};

// Exit statuses of printdeck-cli.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;  // the printer or a file failed
inline constexpr int kExitUsage = 2;    // bad options or values

}  // namespace printdeck::cli
