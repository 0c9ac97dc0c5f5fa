#include "nvimage/NvOperationSequence.h"

#include <algorithm>

#include "app/StringTable.h"
#include "nvimage/NvImageList.h"
#include "nvimage/NvResult.h"

namespace printdeck {

namespace {

constexpr int kFullProgress = 100;
constexpr int kIndexedRecordDelayMs = 100;
constexpr int kKeyCodeRecordDelayMs = 1000;
// Share of the bar that the records of a download fill together.
constexpr double kRecordsShare = 70.0;

}  // namespace

CNvOperationSequence::CNvOperationSequence(CNvImageList& list, int operation)
    : m_pList(&list), m_nOperation(operation) {}

int CNvOperationSequence::RecordAdvance(std::uint32_t bytes, std::uint32_t totalBytes) {
    if (totalBytes == 0) {
        return 0;
    }
    // Held in single precision before the fraction is cut off, so that a
    // share just below a whole point counts as that point.
    const auto share = static_cast<float>(static_cast<double>(bytes) /
                                          static_cast<double>(totalBytes) * kRecordsShare);
    return static_cast<int>(share);
}

IClock& CNvOperationSequence::Clock() const {
    return m_pList->Clock();
}

NvStepOutcome CNvOperationSequence::Start() {
    m_nProgress = 0;
    m_nTotalBytes = 0;
    m_nNextRecord = 0;
    m_nRecordsSent = 0;
    m_bIndexedHeaderSent = false;
    m_strResult = LoadString(IDS_DOWNLOAD_STOPPED);
    m_bCancelRequested = false;
    SetLabel(kNvProgressInitialLabel);
    return NvStepOutcome::Next(NvStepStart, kNvStepDelayMs);
}

bool CNvOperationSequence::InIndexedDownload() const {
    return m_bIndexedHeaderSent && m_nRecordsSent < m_Records.size();
}

NvStepOutcome CNvOperationSequence::RunStep(int step) {
    // The indexed header announces every byte of the download: stopping
    // before the last record would leave the printer taking the next
    // commands as image data.
    if (m_bCancelRequested && !InIndexedDownload()) {
        return NvStepOutcome::Of(NvStepOutcome::Kind::Cancelled);
    }
    if (m_pList->m_pDevice == nullptr) {
        return Fail(IDS_PORT_OPEN_ERROR);
    }
    switch (step) {
        case NvStepStart:
            return OpenAndIdentify();
        case NvReadAddresses:
            return ReadAddresses();
        case NvDeleteSelected:
            return DeleteSelected();
        case NvDeleteAll:
            return DeleteAll();
        case NvStartDownload:
            return StartDownload();
        case NvStepSendRecord:
            return SendNextRecord();
        case NvPrintAll:
            return PrintAll();
        case NvPrintSelected:
            return PrintSelected();
        case NvStepFinish:
            return Finish();
        default:
            return Fail(IDS_NOT_SUPPORTED);
    }
}

bool CNvOperationSequence::Run() {
    return RunStepChain(Clock(), Start(), [this](int step) { return RunStep(step); });
}

NvStepOutcome CNvOperationSequence::OpenAndIdentify() {
    CPrinterDevice& device = *m_pList->m_pDevice;
    if (!device.m_Port.m_bOpen) {
        if (!device.m_Port.Open()) {
            return Fail(IDS_PORT_OPEN_ERROR);
        }
        Advance(5);
    }
    if (!m_pList->m_bIdentified) {
        if (device.chk_OpenCheck(CheckModel) != RC_OK) {
            return Fail(IDS_MODEL_NOT_MATCHED);
        }
        Advance(5);
        if (device.chk_OpenCheck(CheckVersion) != RC_OK) {
            return Fail(IDS_FAILED_TO_GET_VERSION);
        }
        Advance(5);
        m_pList->m_bIdentified = 1;
    }
    return NvStepOutcome::Next(m_nOperation, kNvStepDelayMs);
}

NvStepOutcome CNvOperationSequence::ReadAddresses() {
    const int result =
        m_pList->IsIndexedNvPrinter() ? m_pList->ReadStoredIndexes() : m_pList->ReadKeyCodes();
    if (result != RC_OK && result != RC_NO_NV_IMAGES) {
        return Fail(IDS_FAILED_TO_READ_NV_ADDRESS);
    }
    Advance(20);
    return NvStepOutcome::Next(NvStepFinish, kNvStepDelayMs);
}

NvStepOutcome CNvOperationSequence::DeleteSelected() {
    Advance(5);
    if (m_pList->IsIndexedNvPrinter()) {
        return Fail(IDS_NOT_SUPPORTED);
    }
    const NvStepOutcome next = AfterWrite(m_pList->DeleteKeyCode(m_strAddress),
                                          NvStepOutcome::Next(NvReadAddresses, kNvStepDelayMs));
    if (next.kind == NvStepOutcome::Kind::Continue) {
        Advance(LoadString(IDS_DELETE_SELECTED_NV), 20, 50);
    }
    return next;
}

NvStepOutcome CNvOperationSequence::DeleteAll() {
    Advance(5);
    int result = RC_OK;
    if (m_pList->IsIndexedNvPrinter()) {
        result = m_pList->DeleteAllIndexes();
        if (result == RC_OK) {
            // The printer cannot be asked, so the list is emptied here.
            m_pList->m_NvAddresses.clear();
        }
    } else {
        result = m_pList->DeleteAllKeyCodes();
    }
    const NvStepOutcome next =
        AfterWrite(result, NvStepOutcome::Next(NvReadAddresses, kNvStepDelayMs));
    if (next.kind == NvStepOutcome::Kind::Continue) {
        Advance(LoadString(IDS_DELETE_ALL_NV), 20, 100);
    }
    return next;
}

NvStepOutcome CNvOperationSequence::StartDownload() {
    Advance(5);
    std::uint64_t total = 0;
    for (const CNvDownloadRecord* record : m_Records) {
        total += record->Length();
    }
    m_nTotalBytes = static_cast<std::uint32_t>(total);
    m_nNextRecord = 0;
    const NvStepOutcome next = NvStepOutcome::Next(NvStepSendRecord, kNvStepDelayMs);
    if (!m_pList->IsIndexedNvPrinter()) {
        m_nRecordDelay = kKeyCodeRecordDelayMs;
        return next;
    }
    m_nRecordDelay = kIndexedRecordDelayMs;
    const int result =
        m_pList->SendIndexedHeader(static_cast<std::uint8_t>(m_Records.size()), m_nTotalBytes);
    m_bIndexedHeaderSent = result == RC_OK;
    return AfterWrite(result, next);
}

NvStepOutcome CNvOperationSequence::SendNextRecord() {
    if (m_nNextRecord >= m_Records.size()) {
        Advance(LoadString(IDS_FINISH_DOWNLOAD), 5, 500);
        // Records earn no reply: the printer's answer to one last question
        // shows that it took every byte of them.
        if (m_pList->m_pDevice->chk_OpenCheck(CheckModel) != RC_OK) {
            return Fail(IDS_FAILED_TO_WRITE_DATA);
        }
        return NvStepOutcome::Next(NvStepFinish, kNvStepDelayMs);
    }
    const CNvDownloadRecord& record = *m_Records[m_nNextRecord++];
    SetLabel(record.m_strName + LoadString(IDS_DOWNLOADING));
    const NvStepOutcome next = AfterWrite(m_pList->SendRecord(record),
                                          NvStepOutcome::Next(NvStepSendRecord, m_nRecordDelay));
    if (next.kind == NvStepOutcome::Kind::Continue) {
        ++m_nRecordsSent;
        Advance(RecordAdvance(record.Length(), m_nTotalBytes));
    }
    return next;
}

NvStepOutcome CNvOperationSequence::PrintAll() {
    Advance(5);
    const int result =
        m_pList->IsIndexedNvPrinter() ? m_pList->PrintAllIndexes() : m_pList->PrintAllKeyCodes();
    if (result == RC_NO_NV_IMAGES) {
        return Fail(CNvResult{result, {}}.Text());
    }
    const NvStepOutcome next =
        AfterWrite(result, NvStepOutcome::Next(NvStepFinish, kNvStepDelayMs));
    if (next.kind == NvStepOutcome::Kind::Continue) {
        Advance(LoadString(IDS_PRINT_ALL_NV), 80, 0);
    }
    return next;
}

NvStepOutcome CNvOperationSequence::PrintSelected() {
    Advance(5);
    const int result = m_pList->IsIndexedNvPrinter()
                           ? m_pList->PrintIndex(static_cast<std::uint8_t>(m_nIndex))
                           : m_pList->PrintKeyCode(m_strAddress);
    const NvStepOutcome next =
        AfterWrite(result, NvStepOutcome::Next(NvStepFinish, kNvStepDelayMs));
    if (next.kind == NvStepOutcome::Kind::Continue) {
        Advance(LoadString(IDS_PRINT_SELECTED_NV), 99, 0);
    }
    return next;
}

NvStepOutcome CNvOperationSequence::Finish() {
    while (m_nProgress < kFullProgress) {
        Advance(1);
    }
    return NvStepOutcome::Of(NvStepOutcome::Kind::Finished);
}

NvStepOutcome CNvOperationSequence::AfterWrite(int result, const NvStepOutcome& next) {
    return result == RC_OK ? next : Fail(IDS_FAILED_TO_WRITE_DATA);
}

NvStepOutcome CNvOperationSequence::Fail(int messageId) {
    return Fail(LoadString(messageId));
}

NvStepOutcome CNvOperationSequence::Fail(const std::string& message) {
    m_strResult = message;
    return NvStepOutcome::Of(NvStepOutcome::Kind::Failed);
}

void CNvOperationSequence::Advance(int points, int delayMs) {
    for (int i = 0; i < points; ++i) {
        ++m_nProgress;
        if (m_progress) {
            m_progress(std::min(m_nProgress, kFullProgress), m_strLabel);
        }
        if (delayMs > 0) {
            Clock().Sleep(static_cast<std::uint32_t>(delayMs));
        }
    }
}

void CNvOperationSequence::Advance(const std::string& label, int points, int delayMs) {
    SetLabel(label);
    Advance(points, delayMs);
}

void CNvOperationSequence::SetLabel(const std::string& label) {
    m_strLabel = label;
    if (m_progress) {
        m_progress(std::min(m_nProgress, kFullProgress), m_strLabel);
    }
}

}  // namespace printdeck
