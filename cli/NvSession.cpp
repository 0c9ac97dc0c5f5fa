#include "NvSession.h"

#include <algorithm>

#include "Output.h"
#include "ProgressLine.h"
#include "app/StringTable.h"
#include "nvimage/NvAddress.h"

namespace printdeck::cli {

namespace {

constexpr std::size_t kNvAddressLength = 2;

bool Contains(const std::vector<std::string>& list, const std::string& text) {
    return std::find(list.begin(), list.end(), text) != list.end();
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

bool NvSession::Run(CNvOperationSequence& sequence) {
    ProgressLine line(m_context.Err(), IsTerminal(m_context.Err()));
    sequence.SetProgressCallback([&line](int percent, const std::string& label) {
        line.Show(label + " : " + std::to_string(percent) + " %");
    });
    const bool succeeded = sequence.Run();
    line.End();
    if (!succeeded) {
        ReportFailure(m_context, sequence.m_strResult, std::nullopt);
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
    if (m_list.m_NvAddresses.empty()) {
        m_context.Out() << "The printer holds no NV image.\n";
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

int NvSession::Refuse(const std::string& message, int exitCode) const {
    ReportFailure(m_context, message, std::nullopt);
    return exitCode;
}

int NvSession::Prepare(const NvRequest& request, bool forSave) {
    if (const int status = AddImages(request); status != kExitOk) {
        return status;
    }
    const bool indexed = m_list.IsIndexedNvPrinter();
    std::vector<std::string> addresses;
    if (!indexed) {
        if (const int status = ChooseAddresses(request, forSave, addresses); status != kExitOk) {
            return status;
        }
    }
    m_list.ClearDownloadQueue();
    for (std::size_t i = 0; i < m_list.m_Images.size(); ++i) {
        const CNvImage& image = m_list.m_Images[i];
        const CNvResult result = indexed ? m_list.MakeIndexedRecord(image)
                                         : m_list.MakeKeyCodeRecord(image, addresses[i]);
        if (!result.Ok()) {
            m_list.ClearDownloadQueue();
            return Refuse(result.Text(), kExitFailure);
        }
    }
    return kExitOk;
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

int NvSession::ChooseAddresses(const NvRequest& request, bool forSave,
                               std::vector<std::string>& chosen) {
    const std::size_t count = m_list.m_Images.size();
    if (request.autoAddress) {
        CNvAutoAddress automatic(m_list.m_NvAddresses);
        for (std::size_t i = 0; i < count; ++i) {
            std::string address;
            if (const int result = automatic.Next(address); result != RC_OK) {
                return Refuse(CNvResult{result, {}}.Text(), kExitFailure);
            }
            chosen.push_back(address);
        }
        return kExitOk;
    }
    if (request.addresses.size() != count) {
        return Refuse(
            "This printer stores NV images under addresses: give one --address per "
            "image, or --auto.",
            kExitUsage);
    }
    // A download must not overwrite what the printer holds; a print file is
    // meant for any printer, so only its own addresses must differ.
    std::vector<std::string> taken = forSave ? std::vector<std::string>() : m_list.m_NvAddresses;
    for (const std::string& address : request.addresses) {
        if (const int status = CheckAddress(address); status != kExitOk) {
            return status;
        }
        if (Contains(taken, address)) {
            return Refuse(LoadString(IDS_ADDRESS_EXISTS) + "\n" + address, kExitFailure);
        }
        taken.push_back(address);
        chosen.push_back(address);
    }
    return kExitOk;
}

}  // namespace printdeck::cli
