#include "firmware/FirmwareSender.h"

#include <algorithm>

#include "app/ConfigStore.h"
#include "firmware/FirmwareTexts.h"

namespace printdeck {

// Keeps the result in step with what the listener was told.
class CFirmwareSender::CReport {
public:
    CReport(FirmwareResult& result, IFirmwareListener* listener)
        : m_result(result), m_listener(listener != nullptr ? *listener : m_ignore) {}

    void Status(const char* text) {
        m_result.status = text;
        m_listener.OnStatus(m_result.status);
    }
    void Message(const char* text) {
        m_result.messages.emplace_back(text);
        m_listener.OnMessage(m_result.messages.back());
    }
    void Progress(std::size_t sent, std::size_t total) {
        const auto percent = total == 0 ? 0 : static_cast<std::uint64_t>(sent) * 100 / total;
        m_result.progress = {sent, total, static_cast<int>(percent)};
        m_listener.OnProgress(m_result.progress);
    }
    void Sending(bool active) { m_listener.OnSending(active); }

private:
    FirmwareResult& m_result;
    IFirmwareListener m_ignore;
    IFirmwareListener& m_listener;
};

void CFirmwareSender::SetPortSettings(const std::string& portString, std::uint32_t baudRate,
                                      int parity, int dataBits, int stopBits, int flowControl) {
    m_Port.m_strPortName = portString;
    m_Port.m_nBaudRate = baudRate;
    m_Port.m_nParity = static_cast<std::uint8_t>(parity);
    m_Port.m_nDataBits = static_cast<std::uint8_t>(dataBits);
    m_Port.m_nStopBits = static_cast<std::uint8_t>(stopBits);
    m_Port.m_nFlowControl = flowControl;
}

FirmwareResult CFirmwareSender::Download(const std::string& path, IFirmwareListener* listener) {
    FirmwareResult result;
    CReport report(result, listener);
    report.Status(kFirmwareReady);

    std::vector<std::uint8_t> bytes;
    result.file = ReadFirmwareFile(path, bytes);
    if (result.file.status != FirmwareFileStatus::Read) {
        RefuseFile(result, report);
        return result;
    }
    SendFile(bytes, result, report);
    return result;
}

FirmwareResult CFirmwareSender::Send(const std::vector<std::uint8_t>& bytes,
                                     IFirmwareListener* listener) {
    FirmwareResult result;
    CReport report(result, listener);
    result.file = {bytes.empty() ? FirmwareFileStatus::Empty : FirmwareFileStatus::Read, 0,
                   bytes.size()};
    if (bytes.empty()) {
        RefuseFile(result, report);
        return result;
    }
    SendFile(bytes, result, report);
    return result;
}

void CFirmwareSender::SendFile(const std::vector<std::uint8_t>& bytes, FirmwareResult& result,
                               CReport& report) {
    result.progress.totalBytes = bytes.size();
    report.Status(kFirmwareDownloading);
    if (m_Port.Open() == 0) {
        m_Port.Close();
        report.Message(kFirmwareOpenPortError);
        result.outcome = FirmwareOutcome::PortOpenFailed;
        return;
    }
    DebugTrace("===================START==========\n");
    report.Sending(true);
    result.outcome = SendPieces(bytes, report);
    report.Sending(false);
    m_Port.Close();
    // A printer holding part of a firmware must not be reset: after any
    // failed piece the status stays as it was.
    if (result.outcome != FirmwareOutcome::Sent) {
        return;
    }
    report.Message(kFirmwareSuccess);
    report.Status(kFirmwareFinished);
}

void CFirmwareSender::RefuseFile(FirmwareResult& result, CReport& report) {
    switch (result.file.status) {
        case FirmwareFileStatus::TooLarge:
            report.Message(kFirmwareFileTooLarge);
            result.outcome = FirmwareOutcome::FileTooLarge;
            break;
        case FirmwareFileStatus::Empty:
            report.Message(kFirmwareFileEmpty);
            result.outcome = FirmwareOutcome::FileEmpty;
            break;
        default:
            report.Message(kFirmwareFileOpenError);
            result.outcome = FirmwareOutcome::FileOpenFailed;
            break;
    }
}

FirmwareOutcome CFirmwareSender::SendPieces(const std::vector<std::uint8_t>& bytes,
                                            CReport& report) {
    std::size_t sent = 0;
    do {
        const std::size_t piece = std::min(kPieceBytes, bytes.size() - sent);
        const int length = static_cast<int>(piece);
        if (m_Port.Write(bytes.data() + sent, length) != length) {
            report.Message(kFirmwareSendFailed);
            return piece == kPieceBytes ? FirmwareOutcome::SendFailed
                                        : FirmwareOutcome::LastPieceFailed;
        }
        sent += piece;
        report.Progress(sent, bytes.size());
        DebugTrace("SEND = %d\n", static_cast<int>(sent));
    } while (sent < bytes.size());
    return FirmwareOutcome::Sent;
}

}  // namespace printdeck
