#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "firmware/FirmwareFile.h"
#include "transport/Clock.h"
#include "transport/PrinterPort.h"

namespace printdeck {

// How one firmware download ended.
enum class FirmwareOutcome {
    Sent,             // every byte went out; the success message was given
    FileOpenFailed,   // the file could not be opened or read
    FileTooLarge,     // the file exceeds kMaxFirmwareBytes
    FileEmpty,        // the file holds no bytes, so there is nothing to send
    PortOpenFailed,   // the port did not open
    SendFailed,       // a full piece was refused; the download stopped there
    LastPieceFailed,  // the final, shorter piece was refused
};

struct FirmwareProgress {
    std::size_t sentBytes = 0;
    std::size_t totalBytes = 0;
    int percent = 0;  // sentBytes x 100 / totalBytes, truncated; 0 for an empty file
};

// What a window or a terminal shows during a download. Every callback has a
// default that ignores it.
class IFirmwareListener {
public:
    virtual ~IFirmwareListener() = default;
    // The status text changed.
    virtual void OnStatus(const std::string& /*text*/) {}
    // A message for the user, in the order the download produces them.
    virtual void OnMessage(const std::string& /*text*/) {}
    // After each accepted write.
    virtual void OnProgress(const FirmwareProgress& /*progress*/) {}
    // true when the send loop starts, false when it ends: the window keeps
    // its Exit button disabled in between.
    virtual void OnSending(bool /*active*/) {}
};

struct FirmwareResult {
    FirmwareOutcome outcome = FirmwareOutcome::FileOpenFailed;
    std::string status;                 // the status text at the end
    std::vector<std::string> messages;  // every message given, in order
    FirmwareProgress progress;          // as last reported
    FirmwareFileResult file;            // how reading the file went
};

// Sends a firmware file to the printer unchanged, in pieces of kPieceBytes
// written back to back, over a port of its own. Shows nothing itself.
class CFirmwareSender {
public:
    static constexpr std::size_t kPieceBytes = 4096;

    CFirmwareSender() = default;
    explicit CFirmwareSender(IClock& clock) : m_Port(clock) {}
    // With other device-file system calls, as the port takes them.
    CFirmwareSender(IClock& clock, IDeviceIo& io) : m_Port(clock, io) {}
    virtual ~CFirmwareSender() = default;

    CFirmwareSender(const CFirmwareSender&) = delete;
    CFirmwareSender& operator=(const CFirmwareSender&) = delete;

    // The connection handed over by the main window; set while no download runs.
    void SetPortSettings(const std::string& portString, std::uint32_t baudRate, int parity,
                         int dataBits, int stopBits, int flowControl);
    CPrinterPort& Port() { return m_Port; }

    // Reads the file and sends it. The port is closed afterwards in every
    // outcome. listener may be null.
    FirmwareResult Download(const std::string& path, IFirmwareListener* listener = nullptr);
    // Sends bytes already read, as Download sends a file's: for a caller
    // that checked them first, so that what goes out is what was checked.
    FirmwareResult Send(const std::vector<std::uint8_t>& bytes,
                        IFirmwareListener* listener = nullptr);

private:
    class CReport;

    // Says why the file was not sent and records the outcome.
    static void RefuseFile(FirmwareResult& result, CReport& report);
    // Opens the port, sends the pieces and closes it, reporting each stage.
    void SendFile(const std::vector<std::uint8_t>& bytes, FirmwareResult& result, CReport& report);
    // Writes the bytes in pieces; the outcome of the loop.
    FirmwareOutcome SendPieces(const std::vector<std::uint8_t>& bytes, CReport& report);

    CPrinterPort m_Port;
};

}  // namespace printdeck
