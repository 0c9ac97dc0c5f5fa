#pragma once

#include <array>
#include <map>
#include <optional>
#include <string>

#include "settings/SwitchCodec.h"

namespace printdeck {

class CPrinterDevice;

// The start and end sentinel texts of one card-reader track.
struct SentinelTexts {
    std::string start;
    std::string end;

    bool operator==(const SentinelTexts&) const = default;
};

// The one printer settings record: every setting the settings manager reads,
// shows and writes back, named after its stored value, plus the commands that
// move it to and from the printer in both dialects (MSW: 1D 28 45, SW: 08 5E 45).
//
// Every operation works on m_pDevice->m_Port, which the caller has opened and
// identified; it returns a result code (device/ResultCodes.h) and never
// throws. A failure after talking to the printer closes the port unless the
// operation says otherwise.
class CPrinterSettings {
public:
    CPrinterSettings() = default;
    virtual ~CPrinterSettings() = default;

    // Persistence under a key path (the program key). Loading always returns
    // 1; saving returns 0 when a value could not be stored, so the user hears
    // that the settings were not kept.
    int LoadFromStore(const std::string& keyPath);
    int SaveToStore(const std::string& keyPath);

    // Setting mode and memory switches, MSW dialect.
    int BeginMswSetting();
    int EndMswSetting();
    int ReadMsw(int n);
    int WriteMsw(int n);

    // Setting mode and memory switches, SW dialect. The seven WriteSw calls
    // (n = 1, 2, 3, 5, 6, 7, 8) build one command; only n = 1 sends its header.
    int BeginSwSetting();
    int EndSwSetting();
    int ReadSw(int n);
    int WriteSw(int n);
    // Sends switch n's block as eight "leave unchanged" characters (with the
    // header for n = 1), for a switch the run must not change but the
    // seven-block command still has to carry.
    int WriteSwUnchanged(int n);

    // The printer's serial interface (n: 1 baud rate, 2 parity, 3 flow
    // control, 4 data bits).
    int ReadMswSerial(int n);
    int ReadSwSerial(int n);
    int WriteMswSerial(int n);
    int WriteSwSerial();

    // Bluetooth module (item 'c', 'd', 'k', 's').
    int ReadBluetooth(int item);
    int WriteBluetooth();

    // RF interface (switch 80), firmware 101000 and later.
    int ReadRfInterface();
    int WriteRfInterface();

    // Card-reader start and end sentinels of track 1 to 3.
    int ReadSentinel(int track);
    int WriteSentinel(int track);

    // Sends the model's factory-default block.
    int SetFactoryDefault();

    CPrinterDevice* m_pDevice = nullptr;
    int Sentinel = 0;
    std::string m_strTrack1Start;
    std::string m_strTrack2Start;
    std::string m_strTrack3Start;
    std::string m_strTrack1End;
    std::string m_strTrack2End;
    std::string m_strTrack3End;
    // The switches as the last reads found them; writing one back keeps what
    // the record has not changed since.
    std::map<int, settings::SwitchReading> m_switchesAsRead;
    // Per track: the texts the record held when the printer did not report
    // that track's sentinels. WriteSentinel leaves such a track alone while
    // its texts are still these, so codes the printer never gave cannot
    // replace its own.
    std::array<std::optional<SentinelTexts>, 3> m_unreportedSentinels;
    int Density = 4;
    int Speed = 0;
    int DataMatrix = 0;
    int MaxiCode = 0;
    int Pdf417 = 1;
    int QrCode = 1;
    int CodePage = 0;
    int Service = 0;
    int FontType = 0;
    int BeepPaper = 0;
    int BeepLowBat = 0;
    int LCharMode = 0;
    int BlackMarkSensor = 0;
    int TimeOff = 0;
    int TimeSave = 0;
    int Msr = 6;
    int Baudrate = 115200;
    int Databit = 8;
    int Parity = 0;
    int Flowcontrol = 0;
    int m_nBtSecurity = 0;
    int m_nBtConnMode = 0;
    std::string m_strBtPin;
    std::string m_strBtName;
    int m_bBluetoothOff = 0;
    int m_nRfInterface = 0;
};

}  // namespace printdeck
