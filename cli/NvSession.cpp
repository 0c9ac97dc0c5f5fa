#include "NvSession.h"

#include <nlohmann/json.hpp>

#include "Interrupts.h"
#include "Output.h"
#include "ProgressLine.h"

namespace printdeck::cli {

namespace {

constexpr std::size_t kNvAddressLength = 2;

bool ChangesThePrinter(int operation) {
    return operation == NvStartDownload || operation == NvDeleteSelected ||
           operation == NvDeleteAll;
}

}  // namespace

NvSession::NvSession(const CliContext& context) : m_context(context) {
    context.ConfigureDevice(m_device);
    m_list.m_pDevice = &m_device;
    m_list.SetBitmapLoader(&m_loader);
}

NvSession::~NvSession() {
    m_device.m_Port.Close();
}

bool NvSession::Drive(CNvOperationSequence& sequence) {
    ProgressLine line = m_context.NewProgressLine();
    sequence.SetProgressCallback([&line, &sequence](int percent, const std::string& label) {
        if (Interrupts::Requested()) {
            sequence.RequestCancel();
        }
        line.Show(label + " : " + std::to_string(percent) + " %");
    });
    bool succeeded = false;
    {
        const StepMachineRunning stoppable;
        succeeded = sequence.Run();
    }
    line.End();
    m_context.NoteIdentity(m_device);
    return succeeded;
}

bool NvSession::Run(CNvOperationSequence& sequence) {
    const bool succeeded = Drive(sequence);
    if (!succeeded) {
        ReportFailure(m_context, Interrupts::Requested() ? "Interrupted." : sequence.m_strResult,
                      std::nullopt);
        ReportPortProblem(m_context, m_device.m_Port);
        if (ChangesThePrinter(sequence.m_nOperation)) {
            ReportPartialWrite(m_context, "nv list");
        }
    }
    return succeeded;
}

bool NvSession::Run(int operation) {
    CNvOperationSequence sequence(m_list, operation);
    return Run(sequence);
}

bool NvSession::ReadAddresses() {
    m_list.m_NvAddresses.clear();
    return Run(NvReadAddresses);
}

void NvSession::PrintAddresses() const {
    if (m_context.JsonMode()) {
        const nlohmann::json addresses = m_list.m_NvAddresses;
        m_context.Out() << nlohmann::json{{"family",
                                           m_list.IsIndexedNvPrinter() ? "indexed" : "key-code"},
                                          {"addresses", addresses}}
                               .dump(2)
                        << "\n";
        return;
    }
    if (m_list.m_NvAddresses.empty()) {
        m_context.Out() << CNvResult{RC_NO_NV_IMAGES, {}}.Text() << "\n";
        return;
    }
    for (const std::string& address : m_list.m_NvAddresses) {
        m_context.Out() << address << "\n";
    }
}

int NvSession::CheckAddress(const std::string& address) const {
    return address.size() == kNvAddressLength
               ? kExitOk
               : Refuse(CNvResult{RC_BAD_ADDRESS, address}.Text(), kExitUsage);
}

int NvSession::Report(const CNvResult& result) const {
    return result.Ok() ? kExitOk : Refuse(result.Text(), kExitFailure);
}

int NvSession::Refuse(const std::string& message, int exitCode) const {
    ReportFailure(m_context, message, std::nullopt);
    return exitCode;
}

int NvSession::Prepare(const NvRequest& request) {
    if (const int status = AddImages(request); status != kExitOk) {
        return status;
    }
    return m_list.IsIndexedNvPrinter() || request.autoAddress ? kExitOk : CheckAddresses(request);
}

CNvDownloadFlow NvSession::Flow(const NvRequest& request) {
    CNvDownloadFlow flow(m_list,
                         [this](CNvOperationSequence& sequence) { return Drive(sequence); });
    flow.m_bAutoAddressing = request.autoAddress;
    flow.m_AskAddress = [next = request.addresses.begin(), end = request.addresses.end()](
                            const CNvImage&, const std::vector<std::string>&,
                            std::string& address) mutable {
        if (next == end) {
            return false;
        }
        address = *next++;
        return true;
    };
    return flow;
}

int NvSession::AddImages(const NvRequest& request) {
    m_list.RemoveAllEntries();
    for (const std::string& path : request.images) {
        CNvImage entry;
        const auto number = static_cast<std::uint8_t>(m_list.m_Images.size() + 1);
        if (const CNvResult result = m_list.LoadEntry(number, path, request.brightness, entry);
            !result.Ok()) {
            return Refuse(result.Text(), kExitFailure);
        }
        std::string name = entry.m_strName;
        if (const int result = m_list.AddEntry(std::move(entry)); result != RC_OK) {
            return Refuse(CNvResult{result, name}.Text(), kExitFailure);
        }
    }
    return kExitOk;
}

int NvSession::CheckAddresses(const NvRequest& request) const {
    if (request.addresses.size() != m_list.m_Images.size()) {
        return Refuse(
            "This printer stores NV images under addresses: give one --address per "
            "image, or --auto.",
            kExitUsage);
    }
    for (const std::string& address : request.addresses) {
        if (const int status = CheckAddress(address); status != kExitOk) {
            return status;
        }
    }
    return kExitOk;
}

}  // namespace printdeck::cli
