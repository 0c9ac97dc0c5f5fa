#pragma once

#include <cstdint>
#include <string>
#include <thread>
#include <utility>

#include "CommandDispatcher.h"
#include "Fault.h"
#include "FirmwareReceiver.h"
#include "Guarded.h"
#include "Options.h"
#include "PrinterState.h"
#include "Recorder.h"
#include "Socket.h"

namespace printdeck::vp {

// A printer that answers its command set over TCP. It serves one host
// connection at a time on a thread of its own; a host that reconnects after
// closing is served again with the printer's state kept.
class VirtualPrinter {
public:
    explicit VirtualPrinter(PrinterOptions options = {});
    ~VirtualPrinter();
    VirtualPrinter(const VirtualPrinter&) = delete;
    VirtualPrinter& operator=(const VirtualPrinter&) = delete;

    // Binds the listening socket and starts serving. A host other than
    // loopback needs allowRemote. false with `error` filled on failure.
    bool Start(std::string* error = nullptr);
    // Stops serving; an open connection is dropped. Safe to call twice.
    void Stop();
    bool IsRunning() const { return m_thread.joinable(); }

    const std::string& Host() const { return m_options.listen.host; }
    // The port actually listened on (meaningful after Start).
    std::uint16_t Port() const { return m_port; }

    PrinterState& State() { return m_state; }
    // Extra handlers (e.g. a test's own) are registered here before Start;
    // they are asked after the printer's own families.
    CommandDispatcher& Dispatcher() { return m_dispatcher; }
    Recorder& Record() { return m_recorder; }
    const Recorder& Record() const { return m_recorder; }

    // Settings that may change while the printer runs.
    void SetIdentity(Identity identity) { m_state.identity.Set(std::move(identity)); }
    Identity GetIdentity() const { return m_state.identity.Get(); }
    void SetFault(Fault fault) { m_fault.Set(fault); }
    Fault GetFault() const { return m_fault.Get(); }
    bool SetRecordFile(const std::string& path) { return m_recorder.SetFile(path); }
    // Raw firmware reception for connections that start from now on; an
    // empty path turns it off.
    bool SetFirmwareFile(const std::string& path) { return m_firmware.SetFile(path); }
    FirmwareReceiver& Firmware() { return m_firmware; }

private:
    void Serve();

    PrinterOptions m_options;
    PrinterState m_state;
    Guarded<Fault> m_fault;
    Recorder m_recorder;
    FirmwareReceiver m_firmware;
    CommandDispatcher m_dispatcher;
    StopSignal m_stop;
    Listener m_listener;
    std::uint16_t m_port = 0;
    std::thread m_thread;
};

}  // namespace printdeck::vp
