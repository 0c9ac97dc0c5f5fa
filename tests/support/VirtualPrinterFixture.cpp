#include "VirtualPrinterFixture.h"

#include <stdexcept>
#include <thread>
#include <utility>

namespace printdeck::test {

namespace {

vp::PrinterOptions OnLoopback(vp::PrinterOptions options) {
    options.listen = {"127.0.0.1", 0};
    options.allowRemote = false;
    return options;
}

}  // namespace

VirtualPrinterRunner::VirtualPrinterRunner(vp::PrinterOptions options)
    : m_printer(OnLoopback(std::move(options))) {
    std::string error;
    if (!m_printer.Start(&error)) {
        throw std::runtime_error("virtual printer did not start: " + error);
    }
}

void VirtualPrinterRunner::SetModel(const std::string& reply) {
    m_printer.State().identity.Update([&](vp::Identity& identity) { identity.model = reply; });
}

void VirtualPrinterRunner::SetFirmware(const std::string& reply) {
    m_printer.State().identity.Update([&](vp::Identity& identity) { identity.firmware = reply; });
}

void VirtualPrinterRunner::SetCodePage(std::optional<std::string> reply) {
    m_printer.State().identity.Update(
        [&](vp::Identity& identity) { identity.codePage = std::move(reply); });
}

void VirtualPrinterRunner::SetMsr(std::uint8_t setting) {
    m_printer.State().identity.Update([&](vp::Identity& identity) { identity.msr = setting; });
}

vp::NvMemory VirtualPrinterRunner::NvOnce(const std::function<bool(const vp::NvMemory&)>& settled,
                                          std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    vp::NvMemory memory = Nv();
    while (!settled(memory) && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        memory = Nv();
    }
    return memory;
}

void VirtualPrinterRunner::StoreNvKeyCodes(const std::vector<std::string>& codes) {
    m_printer.State().nv.Update([&](vp::NvMemory& nv) {
        for (const std::string& code : codes) {
            nv.keyCodeGraphics.push_back({code, {8, 1, {0xFF}}});
        }
    });
}

void VirtualPrinterRunner::SetFault(const std::string& name) {
    const auto fault = vp::ParseFault(name);
    if (!fault) {
        throw std::invalid_argument("unknown virtual printer fault: " + name);
    }
    m_printer.SetFault(*fault);
}

}  // namespace printdeck::test
