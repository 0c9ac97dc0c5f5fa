#include "nvimage/NvDownloadFlow.h"

#include <algorithm>
#include <utility>

#include "app/ConfigStore.h"
#include "nvimage/NvAddress.h"
#include "nvimage/NvImageList.h"
#include "nvimage/NvOperationSequence.h"

namespace printdeck {

namespace {

// Lets the printer settle before its list is read back.
constexpr std::uint32_t kRefreshDelayMs = 200;
constexpr std::size_t kAddressLength = 2;

bool Contains(const std::vector<std::string>& list, const std::string& text) {
    return std::find(list.begin(), list.end(), text) != list.end();
}

CNvResult NextAutomaticAddress(CNvAutoAddress& automatic, std::string& address) {
    return {automatic.Next(address), {}};
}

CNvResult CountStoredResult(bool stored) {
    return stored ? CNvResult{} : CNvResult{RC_NV_COUNT_NOT_STORED, CConfigStore::StoreFilePath()};
}

}  // namespace

CNvDownloadFlow::CNvDownloadFlow(CNvImageList& list, NvSequenceDriver driver)
    : m_list(list), m_driver(std::move(driver)) {}

CNvResult CNvDownloadFlow::CheckHasImages() const {
    return m_list.m_Images.empty() ? CNvResult{RC_NV_LIST_EMPTY, {}} : CNvResult{};
}

CNvResult CNvDownloadFlow::Download() {
    const bool indexed = m_list.IsIndexedNvPrinter();
    if (CNvResult built = BuildQueue(false); !built.Ok()) {
        m_list.ClearDownloadQueue();
        return built;
    }
    CNvOperationSequence download(m_list, NvStartDownload);
    for (const CNvDownloadRecord& record : m_list.m_DownloadQueue) {
        download.m_Records.push_back(&record);
    }
    // The printer may have been exchanged since it was identified.
    m_list.m_bIdentified = 0;
    const bool finished = m_driver(download);
    // The printer holds the new images once the last record is out, even
    // when a cancel ended the sequence right after it.
    bool countStored = true;
    if (indexed && download.m_nRecordsSent == download.m_Records.size()) {
        countStored = StoreCount(download.m_Records.size());
    }
    m_list.ClearDownloadQueue();
    m_list.Clock().Sleep(kRefreshDelayMs);
    std::string refreshFailure;
    const bool refreshed = Refresh(refreshFailure);
    if (!finished) {
        return {RC_NV_OPERATION_FAILED, download.m_strResult};
    }
    if (!refreshed) {
        return {RC_NV_OPERATION_FAILED, refreshFailure};
    }
    if (indexed) {
        return CountStoredResult(countStored);
    }
    // Writes into a connection that has just dropped can look successful;
    // only the printer's own list shows what arrived.
    for (const std::string& address : m_Addresses) {
        if (!Contains(m_list.m_NvAddresses, address)) {
            return {RC_NV_NOT_CONFIRMED, address};
        }
    }
    return CountStoredResult(StoreCount(m_Addresses.size()));
}

CNvResult CNvDownloadFlow::Save(const std::string& path) {
    CNvResult result = BuildQueue(true);
    if (result.Ok() && m_list.WritePrintFile(path) == 0) {
        result = {RC_NV_PRINT_FILE_FAILED, path};
    }
    m_list.ClearDownloadQueue();
    return result;
}

CNvResult CNvDownloadFlow::BuildQueue(bool forSave) {
    m_list.ClearDownloadQueue();
    m_Addresses.clear();
    if (CNvResult check = CheckHasImages(); !check.Ok()) {
        return check;
    }
    if (m_list.IsIndexedNvPrinter()) {
        for (const CNvImage& image : m_list.m_Images) {
            if (CNvResult made = m_list.MakeIndexedRecord(image); !made.Ok()) {
                return made;
            }
        }
        return {};
    }
    CNvAutoAddress automatic(m_list.m_NvAddresses);
    // A download must not overwrite what the printer holds, and no two images
    // of one download or save may share an address.
    std::vector<std::string> taken = forSave ? std::vector<std::string>() : m_list.m_NvAddresses;
    for (const CNvImage& image : m_list.m_Images) {
        std::string address;
        CNvResult result = m_bAutoAddressing ? NextAutomaticAddress(automatic, address)
                                             : AskAddress(image, taken, address);
        if (result.Ok()) {
            result = m_list.MakeKeyCodeRecord(image, address);
        }
        if (!result.Ok()) {
            return result;
        }
        taken.push_back(address);
        m_Addresses.push_back(address);
    }
    return {};
}

CNvResult CNvDownloadFlow::AskAddress(const CNvImage& image, const std::vector<std::string>& taken,
                                      std::string& address) const {
    std::string answer;
    if (!m_AskAddress || !m_AskAddress(image, taken, answer)) {
        return {RC_NV_ADDRESS_CANCELLED, {}};
    }
    if (!IsValidNvAddress(answer)) {
        return {RC_BAD_ADDRESS, answer};
    }
    address = answer.substr(0, kAddressLength);
    if (Contains(taken, address)) {
        return {RC_NV_ADDRESS_TAKEN, address};
    }
    return {};
}

bool CNvDownloadFlow::Refresh(std::string& failure) {
    m_list.m_NvAddresses.clear();
    CNvOperationSequence refresh(m_list, NvReadAddresses);
    if (m_driver(refresh)) {
        return true;
    }
    failure = refresh.m_strResult;
    return false;
}

bool CNvDownloadFlow::StoreCount(std::size_t count) {
    m_list.m_nStoredCount = static_cast<int>(count);
    return !m_bStoreCount || CNvImageList::WriteStoredCount(kNvKey, m_list.m_nStoredCount);
}

}  // namespace printdeck
