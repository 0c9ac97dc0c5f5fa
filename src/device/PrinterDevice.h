#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "device/ResultCodes.h"
#include "transport/Clock.h"
#include "transport/PrinterPort.h"

namespace printdeck {

// Modes of chk_OpenCheck.
enum CheckMode : int { CheckCodePage = 0, CheckModel = 1, CheckVersion = 2, CheckMsr = 3 };

// Model codes (g_Model).
inline constexpr int MODEL_UNKNOWN = 0;
inline constexpr int MODEL_T200 = 200;
inline constexpr int MODEL_T200W = 201;
inline constexpr int MODEL_T200II = 202;
inline constexpr int MODEL_KT220 = 220;
inline constexpr int MODEL_T300 = 300;
inline constexpr int MODEL_T400 = 400;

// Firmware version numbers from SW_DIALECT_FIRST to SW_DIALECT_LAST use the
// SW command dialect and the indexed NV family; all others the MSW dialect
// and the key-code NV family.
inline constexpr int SW_DIALECT_FIRST = 21000;
inline constexpr int SW_DIALECT_LAST = 100999;
bool UsesSwDialect(int version);

// How long the identification waits for a text reply and for the card-reader reply.
inline constexpr int kTextReplyLimitMs = 3000;
inline constexpr int kMsrReplyLimitMs = 5000;

// The printer object: owns the port and identifies the printer behind it.
class CPrinterDevice {
public:
    CPrinterDevice();
    explicit CPrinterDevice(IClock& clock);
    // With other device-file system calls for the port; tests and fuzzing
    // play a printer through them.
    CPrinterDevice(IClock& clock, IDeviceIo& io);
    virtual ~CPrinterDevice();

    CPrinterDevice(const CPrinterDevice&) = delete;
    CPrinterDevice& operator=(const CPrinterDevice&) = delete;

    // Asks the printer one identification question (CheckMode); the port
    // must be open. Returns a result code; every failure after the command
    // was attempted closes the port.
    int chk_OpenCheck(int mode);

    // The identification replies, read from their bytes alone.
    // A reply's text: its bytes up to the first 00.
    static std::string ReplyText(std::span<const std::uint8_t> reply);
    // The code page name; "_PC437" when the printer sent nothing.
    static std::string ParseCodePage(std::span<const std::uint8_t> reply);
    // The setting byte of a card-reader reply 37 80 xx 00; nullopt when the
    // reply has another form.
    static std::optional<std::uint8_t> ParseMsrSetting(std::span<const std::uint8_t> reply);
    // Model code of a model reply text; 0 when not recognised.
    static int ParseModel(const std::string& reply);
    // Firmware version number of a version reply text, for the current g_Model.
    int ParseVersion(const std::string& reply) const { return ParseVersion(g_Model, reply); }
    // The same for a given model code (the virtual printer picks its dialect so).
    static int ParseVersion(int model, const std::string& reply);

    // Copies the connection settings below into the port.
    void ApplyPortSettings();

    IClock& Clock() const { return *m_pClock; }

    std::string m_strModelName;
    int g_Model = MODEL_T200;
    CPrinterPort m_Port;
    std::string m_strVersion;
    int g_Getver = 0;
    std::string m_strCodePage;
    std::uint8_t m_nMsrSetting = 0;
    std::string m_strPortName = "COM1:";
    int m_nBaudRate = 115200;
    int m_nDataBits = 8;
    int m_nParity = 0;
    int m_nStopBits = 0;
    int m_nFlowControl = 0;

private:
    int ReadCodePage();
    int ReadModel();
    int ReadVersion();
    int ReadMsrSetting();
    bool CollectTextReply(int bufferSize, int chunkSize, std::string& reply);

    IClock* m_pClock;
};

}  // namespace printdeck
