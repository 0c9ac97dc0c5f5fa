#include "settings/SwitchCodec.h"

#include "settings/PrinterSettings.h"

namespace printdeck::settings {
namespace {

// Value of character Dk (k from 1), as the printer's digits are read.
int Digit(const SwitchBlock& block, int k) {
    return block[static_cast<std::size_t>(k - 1)] - '0';
}

// Dfirst..Dlast read as a binary number, Dfirst most significant.
int Number(const SwitchBlock& block, int first, int last) {
    int value = 0;
    for (int k = first; k <= last; ++k) {
        value = value * 2 + Digit(block, k);
    }
    return value;
}

char Flag(bool on) {
    return on ? '1' : '0';
}

void Set(SwitchBlock& block, int k, char c) {
    block[static_cast<std::size_t>(k - 1)] = c;
}

// Dfirst..Dlast from the bits of value, Dlast taking bit 0.
void SetBits(SwitchBlock& block, int first, int last, int value) {
    for (int k = last; k >= first; --k) {
        Set(block, k, Flag((value & 1) != 0));
        value >>= 1;
    }
}

bool UsesLongMsrForm(const SwitchContext& context, bool reading) {
    if (context.msrSetting < kLongMsrSetting) {
        return false;
    }
    const bool swRead = reading && context.dialect == Dialect::Sw;
    return swRead || context.version >= kLongMsrVersion;
}

bool DecodeBlackMark(const SwitchBlock& block, CPrinterSettings& settings) {
    for (int k = 1; k <= 6; ++k) {
        if (block[static_cast<std::size_t>(k - 1)] != '0') {
            return false;
        }
    }
    const auto d7 = static_cast<std::uint8_t>(block[6]);
    const auto d8 = static_cast<std::uint8_t>(block[7]);
    const int value = d7 + 256 * d8;
    if (!IsBlackMarkSetting(value)) {
        return false;
    }
    settings.BlackMarkSensor = value;
    return true;
}

}  // namespace

bool IsBlackMarkSetting(int value) {
    return value == 0x3130 || value == 0x3031 || value == 0x3030;
}

namespace {

using Encoder = void (*)(SwitchBlock& block, int value);

// One record field that a switch write carries, and how it is written.
struct WrittenField {
    int CPrinterSettings::*field;
    Encoder encode;
};

template <int k>
void OnIfOne(SwitchBlock& block, int value) {
    Set(block, k, Flag(value == 1));
}

template <int k>
void OnIfNonZero(SwitchBlock& block, int value) {
    Set(block, k, Flag(value != 0));
}

void EncodeDensity(SwitchBlock& block, int value) {
    Set(block, 6, Flag(value > 3));
    SetBits(block, 7, 8, value);
}

void EncodeCodePage(SwitchBlock& block, int value) {
    SetBits(block, 1, 5, value);
}

void EncodeWideCodePage(SwitchBlock& block, int value) {
    EncodeCodePage(block, value);
    Set(block, 6, Flag((value & 0x20) != 0));
}

void EncodeTimeOff(SwitchBlock& block, int value) {
    Set(block, 2, Flag(value > 63));
    SetBits(block, 3, 8, value);
}

void EncodeTimeSave(SwitchBlock& block, int value) {
    Set(block, 1, Flag(value > 127));
    SetBits(block, 2, 8, value);
}

void EncodeLongMsr(SwitchBlock& block, int value) {
    SetBits(block, 1, 4, value + 1);
}

void EncodeShortMsr(SwitchBlock& block, int value) {
    SetBits(block, 5, 8, value);
}

void EncodeSentinelMode(SwitchBlock& block, int value) {
    Set(block, 2, Flag(value == 2));
    Set(block, 3, Flag(value == 1));
}

void EncodeNewMswFont(SwitchBlock& block, int value) {
    Set(block, 7, Flag(value == 2));
    Set(block, 8, Flag(value == 1));
}

void EncodeBlackMark(SwitchBlock& block, int value) {
    block = {'0',
             '0',
             '0',
             '0',
             '0',
             '0',
             static_cast<char>(value & 0xFF),
             static_cast<char>((value >> 8) & 0xFF)};
}

void EncodeRf(SwitchBlock& block, int value) {
    block = EncodeRfInterface(value);
}

Encoder FontEncoder(const SwitchContext& context) {
    if (context.dialect == Dialect::Sw) {
        return OnIfNonZero<8>;
    }
    return context.version >= kNewFirmwareVersion ? EncodeNewMswFont : OnIfNonZero<7>;
}

std::vector<WrittenField> WrittenFields(int n, const SwitchContext& context) {
    using S = CPrinterSettings;
    switch (n) {
        case 1:
            return {
                {&S::Speed, OnIfOne<4>}, {&S::LCharMode, OnIfOne<5>}, {&S::Density, EncodeDensity}};
        case 2:
            return {{&S::CodePage, context.version >= kWideCodePageVersion ? EncodeWideCodePage
                                                                           : EncodeCodePage}};
        case 3:
            return {{&S::QrCode, OnIfNonZero<5>},
                    {&S::MaxiCode, OnIfNonZero<6>},
                    {&S::DataMatrix, OnIfNonZero<7>},
                    {&S::Pdf417, OnIfNonZero<8>}};
        case 5:
            return {{&S::TimeOff, EncodeTimeOff}};
        case 6:
            return {{&S::TimeSave, EncodeTimeSave}};
        case 7:
            return {{&S::Msr, UsesLongMsrForm(context, false) ? EncodeLongMsr : EncodeShortMsr}};
        case 8: {
            std::vector<WrittenField> fields{{&S::Service, OnIfNonZero<4>},
                                             {&S::BeepLowBat, OnIfNonZero<5>},
                                             {&S::BeepPaper, OnIfNonZero<6>},
                                             {&S::FontType, FontEncoder(context)}};
            if (context.version >= kSentinelVersion) {
                fields.push_back({&S::Sentinel, EncodeSentinelMode});
            }
            return fields;
        }
        case kBlackMarkSwitch:
            return {{&S::BlackMarkSensor, EncodeBlackMark}};
        case kRfSwitch:
            return {{&S::m_nRfInterface, EncodeRf}};
        default:
            return {};
    }
}

SwitchReading ReadingOf(int n, const SwitchBlock& block, const CPrinterSettings& settings,
                        const SwitchContext& context) {
    SwitchReading reading{block, {}};
    for (const WrittenField& written : WrittenFields(n, context)) {
        reading.values.emplace_back(written.field, settings.*written.field);
    }
    return reading;
}

bool StillAsRead(const SwitchReading& reading, int CPrinterSettings::*field, int value) {
    for (const auto& [readField, readValue] : reading.values) {
        if (readField == field) {
            return readValue == value;
        }
    }
    return false;
}

// Puts the printer's characters where the field's encoder writes.
void KeepPrinterCharacters(SwitchBlock& block, const WrittenField& written, int value,
                           const SwitchBlock& printers) {
    SwitchBlock positions = kUnchangedBlock;
    written.encode(positions, value);
    for (std::size_t i = 0; i < block.size(); ++i) {
        if (positions[i] != '2') {
            const char own = printers[i];
            block[i] = own == '0' || own == '1' ? own : '2';
        }
    }
}

bool DecodeFields(int n, const SwitchBlock& block, const SwitchContext& context,
                  CPrinterSettings& settings) {
    switch (n) {
        case 1:
            settings.Speed = block[3] == '1' ? 1 : 0;
            settings.LCharMode = block[4] == '1' ? 1 : 0;
            settings.Density = Number(block, 6, 8);
            break;
        case 2:
            settings.CodePage = Number(block, 1, 5);
            if (context.version >= kWideCodePageVersion) {
                settings.CodePage += 32 * Digit(block, 6);
            }
            break;
        case 3:
            settings.QrCode = Digit(block, 5);
            settings.MaxiCode = Digit(block, 6);
            settings.DataMatrix = Digit(block, 7);
            settings.Pdf417 = Digit(block, 8);
            break;
        case 5:
            settings.TimeOff = Number(block, 2, 8);
            break;
        case 6:
            settings.TimeSave = Number(block, 1, 8);
            break;
        case 7: {
            const int value = Number(block, 1, 8);
            settings.Msr = UsesLongMsrForm(context, true) ? (value >> 4) - 1 : value & 0x0F;
            break;
        }
        case 8:
            settings.Service = Digit(block, 4);
            settings.BeepLowBat = Digit(block, 5);
            settings.BeepPaper = Digit(block, 6);
            settings.FontType = Number(block, 7, 8);
            if (context.dialect == Dialect::Msw && context.version >= kSentinelVersion) {
                settings.Sentinel = Number(block, 2, 3);
            }
            break;
        case kBlackMarkSwitch:
            return DecodeBlackMark(block, settings);
        case kRfSwitch:
            settings.m_nRfInterface = DecodeRfInterface(block[6], block[7]);
            break;
        default:
            break;
    }
    return true;
}

}  // namespace

bool DecodeSwitch(int n, const SwitchBlock& block, const SwitchContext& context,
                  CPrinterSettings& settings) {
    if (n == kBlackMarkSwitch && context.dialect != Dialect::Msw) {
        return true;
    }
    if (!DecodeFields(n, block, context, settings)) {
        return false;
    }
    settings.m_switchesAsRead[n] = ReadingOf(n, block, settings, context);
    return true;
}

SwitchBlock EncodeSwitch(int n, const CPrinterSettings& settings, const SwitchContext& context) {
    SwitchBlock block = kUnchangedBlock;
    const auto reading = settings.m_switchesAsRead.find(n);
    for (const WrittenField& written : WrittenFields(n, context)) {
        const int value = settings.*written.field;
        written.encode(block, value);
        if (reading != settings.m_switchesAsRead.end() &&
            StillAsRead(reading->second, written.field, value)) {
            KeepPrinterCharacters(block, written, value, reading->second.block);
        }
    }
    return block;
}

SwitchBlock EncodeRfInterface(int rfInterface) {
    return {'0', '0', '0', '0', '0', '0', Flag(rfInterface == 2), Flag(rfInterface == 1)};
}

int DecodeRfInterface(char d7, char d8) {
    if (d7 != '0') {
        return 2;
    }
    return d8 != '0' ? 1 : 0;
}

}  // namespace printdeck::settings
