#include "transport/PrinterPort.h"

#include <cstring>

#include "transport/CommLog.h"
#include "transport/DeviceFile.h"
#include "transport/DeviceIo.h"
#include "transport/PortName.h"
#include "transport/SerialLine.h"
#include "transport/TcpLink.h"

namespace printdeck {

namespace {

constexpr std::size_t kShortNameLength = 10;
constexpr std::uint32_t kParallelSettleMs = 200;
constexpr CDeviceFile::WriteLimit kParallelWriteLimit{30000, 10};

const char* const kSentFormat = "[%s][==>] %s\r\n";
const char* const kReceivedFormat = "[%s][<==] %s\r\n\r\n";

}  // namespace

CPrinterPort::CPrinterPort() : CPrinterPort(SystemClock()) {}

CPrinterPort::CPrinterPort(IClock& clock) : CPrinterPort(clock, SystemDeviceIo()) {}

CPrinterPort::CPrinterPort(IClock& clock, IDeviceIo& io) : m_pClock(&clock), m_pIo(&io) {}

CPrinterPort::~CPrinterPort() {
    if (m_bOpen != 0) {
        Close();
    }
}

PortKind CPrinterPort::KindOf(const std::string& portString) {
    if (portString.rfind("LPT", 0) == 0) {
        return PortKind::Parallel;
    }
    if (portString.rfind("NET", 0) == 0) {
        return PortKind::Network;
    }
    return portString.size() > kShortNameLength ? PortKind::DevicePath : PortKind::Serial;
}

int CPrinterPort::Open() {
    // Reopening must not leak the connection that is open now.
    Close();
    m_nKind = KindOf(m_strPortName);
    m_openError = {};
    m_unansweredSince.reset();
    m_unansweredAtClose = 0;
    if (const std::string problem = PortStringProblem(m_strPortName, m_nBaudRate & 0xFFFFu);
        !problem.empty()) {
        m_openError = PortOpenError{PortFailure::BadPortString, m_strPortName, 0, problem};
        return 0;
    }
    m_bOpen = OpenKind();
    return m_bOpen;
}

int CPrinterPort::OpenKind() {
    const std::string target = PortTarget(m_nKind, m_strPortName);
    switch (m_nKind) {
        case PortKind::Network:
            m_hSocket = CTcpLink(*m_pClock).Connect(
                target, static_cast<std::uint16_t>(m_nBaudRate & 0xFFFFu), m_openError);
            return m_hSocket >= 0 ? 1 : 0;
        case PortKind::Serial: {
            const SerialSettings settings{m_nBaudRate, m_nParity, m_nDataBits, m_nStopBits,
                                          m_nFlowControl == 1};
            m_hDevice = CSerialLine(*m_pIo, *m_pClock).Open(target, settings, m_openError);
            break;
        }
        case PortKind::Parallel:
        case PortKind::DevicePath:
            m_hDevice = CDeviceFile(*m_pIo, *m_pClock).Open(target, m_openError);
            break;
    }
    return m_hDevice >= 0 ? 1 : 0;
}

void CPrinterPort::Close() {
    if (m_bOpen != 0) {
        m_unansweredAtClose = UnansweredMs();
    }
    m_bOpen = 0;
    CloseKind();
}

std::uint64_t CPrinterPort::UnansweredMs() const {
    if (m_bOpen == 0) {
        return m_unansweredAtClose;
    }
    return m_unansweredSince ? m_pClock->TickCount() - *m_unansweredSince : 0;
}

void CPrinterPort::CloseKind() {
    if (m_hSocket >= 0) {
        CTcpLink(*m_pClock).Close(m_hSocket);
        m_hSocket = -1;
    }
    if (m_hDevice < 0) {
        return;
    }
    if (m_nKind == PortKind::Serial) {
        CSerialLine(*m_pIo, *m_pClock).Close(m_hDevice);
    } else {
        const std::uint32_t settle = m_nKind == PortKind::Parallel ? kParallelSettleMs : 0;
        CDeviceFile(*m_pIo, *m_pClock).Close(m_hDevice, settle);
    }
    m_hDevice = -1;
}

int CPrinterPort::Write(const std::uint8_t* data, int length) {
    const int accepted = data != nullptr && length > 0 ? length : 0;
    LogExchange(kSentFormat, data, accepted);
    if (m_bOpen == 0 || accepted == 0) {
        return 0;
    }
    const int written = WriteOpen(data, accepted);
    if (written > 0) {
        m_unansweredSince = m_pClock->TickCount();
        m_nBytesWritten += static_cast<std::uint64_t>(written);
    }
    return written;
}

int CPrinterPort::WriteOpen(const std::uint8_t* data, int length) {
    switch (m_nKind) {
        case PortKind::Network:
            return CTcpLink(*m_pClock).Write(m_hSocket, data, length);
        case PortKind::Serial:
            return CSerialLine(*m_pIo, *m_pClock).Write(m_hDevice, data, length);
        case PortKind::Parallel:
            return CDeviceFile(*m_pIo, *m_pClock)
                .Write(m_hDevice, data, length, kParallelWriteLimit);
        case PortKind::DevicePath:
            break;
    }
    return CDeviceFile(*m_pIo, *m_pClock).Write(m_hDevice, data, length, std::nullopt);
}

int CPrinterPort::Read(std::uint8_t* buffer, int capacity, int /*timeHintMs*/) {
    const int got =
        m_bOpen != 0 && buffer != nullptr && capacity > 0 ? ReadOpen(buffer, capacity) : 0;
    LogExchange(kReceivedFormat, buffer, got);
    if (got > 0) {
        m_unansweredSince.reset();
    }
    return got;
}

int CPrinterPort::ReadOpen(std::uint8_t* buffer, int capacity) {
    switch (m_nKind) {
        case PortKind::Network:
            return CTcpLink(*m_pClock).Read(m_hSocket, buffer, capacity);
        case PortKind::Serial:
            return CSerialLine(*m_pIo, *m_pClock).Read(m_hDevice, buffer, capacity);
        case PortKind::Parallel:
        case PortKind::DevicePath:
            break;
    }
    return CDeviceFile(*m_pIo, *m_pClock).Read(m_hDevice, buffer, capacity);
}

void CPrinterPort::LogExchange(const char* format, const std::uint8_t* bytes, int count) const {
    const char* text = reinterpret_cast<const char*>(bytes);
    const std::string data = count > 0
                                 ? std::string(text, strnlen(text, static_cast<std::size_t>(count)))
                                 : std::string();
    CCommLog::WriteLogEntry(format, m_nKind == PortKind::Network ? "ETH" : "COM", data.c_str());
}

}  // namespace printdeck
