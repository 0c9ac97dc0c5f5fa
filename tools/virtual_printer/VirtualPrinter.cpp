#include "VirtualPrinter.h"

#include <utility>

#include "Connection.h"
#include "Handlers.h"

namespace printdeck::vp {

namespace {

bool Fail(std::string* error, std::string message) {
    if (error) {
        *error = std::move(message);
    }
    return false;
}

}  // namespace

VirtualPrinter::VirtualPrinter(PrinterOptions options)
    : m_options(std::move(options)), m_fault(m_options.fault) {
    m_state.identity.Set(m_options.identity);
    m_state.nv.Update([this](NvMemory& nv) { nv.listBlockCodes = m_options.nvListBlockCodes; });
    RegisterAllHandlers(m_dispatcher, m_state);
}

VirtualPrinter::~VirtualPrinter() {
    Stop();
}

bool VirtualPrinter::Start(std::string* error) {
    if (IsRunning()) {
        return Fail(error, "already running");
    }
    const ListenAddress& listen = m_options.listen;
    if (const std::string refusal = ListenRefusal(m_options); !refusal.empty()) {
        return Fail(error, refusal);
    }
    std::string message;
    if (!m_stop.Open()) {
        return Fail(error, "cannot create the stop pipe");
    }
    if (!m_listener.Listen(listen.host, listen.port, message)) {
        return Fail(error, message);
    }
    if (!m_options.recordPath.empty() && !m_recorder.SetFile(m_options.recordPath)) {
        m_listener.Close();
        return Fail(error, "cannot write the record file " + m_options.recordPath);
    }
    if (!m_options.firmwarePath.empty() && !m_firmware.SetFile(m_options.firmwarePath)) {
        m_listener.Close();
        return Fail(error, "cannot write the firmware file " + m_options.firmwarePath);
    }
    m_port = m_listener.Port();
    m_thread = std::thread([this] { Serve(); });
    return true;
}

void VirtualPrinter::Stop() {
    if (!m_thread.joinable()) {
        return;
    }
    m_stop.Raise();
    m_thread.join();
    m_listener.Close();
}

void VirtualPrinter::Serve() {
    const ConnectionContext context{
        m_dispatcher, m_recorder, m_fault, m_stop, m_options.partialTimeout, m_firmware};
    for (;;) {
        FileDescriptor socket = m_listener.Accept(m_stop);
        if (!socket.Valid()) {
            return;
        }
        Connection(std::move(socket), context).Run();
    }
}

}  // namespace printdeck::vp
