#pragma once

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

    // Registers --port, --baud, --parity, --data-bits, --stop-bits, --flow.
    void AddConnectionOptions(CLI::App& app);
    // Checks what every command that talks to a printer relies on, before it
    // runs; kExitOk, or the exit status after saying what is wrong.
    int CheckBeforeRun() const;
    // The connection to use, resolved from options, store and defaults.
    Connection ResolveConnection() const;
    // Hands the resolved connection to the printer object and its port.
    void ConfigureDevice(CPrinterDevice& device) const;
    // Hands the resolved connection to a port of its own (the firmware download's).
    void ConfigurePort(CPrinterPort& port) const;

    void SetExitCode(int code) { m_exitCode = code; }
    int ExitCode() const { return m_exitCode; }

private:
    std::ostream& m_out;
    std::ostream& m_err;
    std::optional<std::string> m_port;
    std::optional<int> m_baud;
    std::optional<std::string> m_parity;
    std::optional<int> m_dataBits;
    std::optional<int> m_stopBits;
    std::optional<std::string> m_flow;
    int m_exitCode = 0;
    bool m_json = false;
    mutable std::ostringstream m_errorText;
    mutable std::optional<std::string> m_failure;
    mutable std::optional<int> m_resultCode;
};

// Exit statuses of printdeck-cli.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;  // the printer or a file failed
inline constexpr int kExitUsage = 2;    // bad options or values

}  // namespace printdeck::cli
