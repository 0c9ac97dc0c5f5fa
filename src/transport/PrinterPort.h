#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "transport/Clock.h"
#include "transport/PortOpenError.h"

namespace printdeck {

class IDeviceIo;

enum class PortKind { Serial = 0, Parallel = 1, DevicePath = 2, Network = 3 };

// One byte-stream connection to a printer. The port string alone decides the
// kind of connection; the line fields are set by the owner while the port is
// closed. Every Read and Write leaves one entry in the communication log.
class CPrinterPort {
public:
    CPrinterPort();
    explicit CPrinterPort(IClock& clock);
    // With other device-file system calls; tests play a serial line through them.
    CPrinterPort(IClock& clock, IDeviceIo& io);
    virtual ~CPrinterPort();

    CPrinterPort(const CPrinterPort&) = delete;
    CPrinterPort& operator=(const CPrinterPort&) = delete;

    // 1 when the connection is open, 0 when not.
    int Open();
    // Harmless on a closed port and when repeated.
    void Close();
    // Number of bytes the connection accepted; never negative.
    int Write(const std::uint8_t* data, int length);
    // Number of bytes placed in buffer; 0 when nothing arrived or the read
    // failed. The time hint is accepted for callers' sake and not used: the
    // connection's own time-outs decide how long one Read waits.
    int Read(std::uint8_t* buffer, int capacity, int timeHintMs);

    // Why the last Open failed; failure None after a successful one.
    const PortOpenError& OpenError() const { return m_openError; }
    // How long the last bytes written had gone unanswered when the port
    // closed (or by now, while it is open); 0 when a reply followed them.
    std::uint64_t UnansweredMs() const;
    // Every byte the connections of this port have taken, since it was made.
    std::uint64_t BytesWritten() const { return m_nBytesWritten; }

    // The kind a port string names, by the grammar tested on every Open.
    static PortKind KindOf(const std::string& portString);

    int m_bOpen = 0;
    int m_hSocket = -1;
    std::uint32_t m_nBaudRate = 115200;
    std::uint8_t m_nParity = 0;
    std::uint8_t m_nDataBits = 8;
    std::uint8_t m_nStopBits = 0;
    int m_nFlowControl = 0;
    std::string m_strPortName = "COM1";
    PortKind m_nKind = PortKind::Serial;
    // Descriptor of a serial, parallel or device-path connection; -1 when
    // none, since 0 is a valid descriptor here.
    int m_hDevice = -1;

private:
    int OpenKind();
    int ReadOpen(std::uint8_t* buffer, int capacity);
    int WriteOpen(const std::uint8_t* data, int length);
    void CloseKind();
    // One log entry per exchange: the bytes up to the first zero, never past count.
    void LogExchange(const char* format, const std::uint8_t* bytes, int count) const;

    IClock* m_pClock;
    IDeviceIo* m_pIo;
    PortOpenError m_openError;
    // When the last bytes went out, while no byte has come back since.
    std::optional<std::uint64_t> m_unansweredSince;
    std::uint64_t m_unansweredAtClose = 0;
    std::uint64_t m_nBytesWritten = 0;
};

}  // namespace printdeck
