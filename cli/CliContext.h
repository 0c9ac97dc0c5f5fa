#pragma once

#include <optional>
#include <ostream>
#include <string>

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
    std::ostream& Err() const { return m_err; }

    // Registers --port, --baud, --parity, --data-bits, --stop-bits, --flow.
    void AddConnectionOptions(CLI::App& app);
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
};

// Exit statuses of printdeck-cli.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;  // the printer or a file failed
inline constexpr int kExitUsage = 2;    // bad options or values

}  // namespace printdeck::cli
