#pragma once

#include <map>
#include <string>

#include "settings/PrinterSettings.h"

namespace printdeck::test {

// Every field of the record by name, numbers and texts as text, so that a
// test sees any field an operation changed besides the ones it expects.
inline std::map<std::string, std::string> RecordFields(const CPrinterSettings& s) {
    std::map<std::string, std::string> fields;
    const auto number = [&](const char* name, int value) { fields[name] = std::to_string(value); };
    number("Sentinel", s.Sentinel);
    number("Density", s.Density);
    number("Speed", s.Speed);
    number("DataMatrix", s.DataMatrix);
    number("MaxiCode", s.MaxiCode);
    number("Pdf417", s.Pdf417);
    number("QrCode", s.QrCode);
    number("CodePage", s.CodePage);
    number("Service", s.Service);
    number("FontType", s.FontType);
    number("BeepPaper", s.BeepPaper);
    number("BeepLowBat", s.BeepLowBat);
    number("LCharMode", s.LCharMode);
    number("BlackMarkSensor", s.BlackMarkSensor);
    number("TimeOff", s.TimeOff);
    number("TimeSave", s.TimeSave);
    number("Msr", s.Msr);
    number("Baudrate", s.Baudrate);
    number("Databit", s.Databit);
    number("Parity", s.Parity);
    number("Flowcontrol", s.Flowcontrol);
    number("m_nBtSecurity", s.m_nBtSecurity);
    number("m_nBtConnMode", s.m_nBtConnMode);
    number("m_bBluetoothOff", s.m_bBluetoothOff);
    number("m_nRfInterface", s.m_nRfInterface);
    fields["m_strTrack1Start"] = s.m_strTrack1Start;
    fields["m_strTrack2Start"] = s.m_strTrack2Start;
    fields["m_strTrack3Start"] = s.m_strTrack3Start;
    fields["m_strTrack1End"] = s.m_strTrack1End;
    fields["m_strTrack2End"] = s.m_strTrack2End;
    fields["m_strTrack3End"] = s.m_strTrack3End;
    fields["m_strBtPin"] = s.m_strBtPin;
    fields["m_strBtName"] = s.m_strBtName;
    return fields;
}

}  // namespace printdeck::test
