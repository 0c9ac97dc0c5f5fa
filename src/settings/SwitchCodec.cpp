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

bool DecodeSwitch(int n, const SwitchBlock& block, const SwitchContext& context,
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
            return context.dialect != Dialect::Msw || DecodeBlackMark(block, settings);
        default:
            break;
    }
    return true;
}

namespace {

void EncodeFontType(SwitchBlock& block, const CPrinterSettings& settings,
                    const SwitchContext& context) {
    if (context.dialect == Dialect::Sw) {
        Set(block, 8, Flag(settings.FontType != 0));
    } else if (context.version >= kNewFirmwareVersion) {
        Set(block, 7, Flag(settings.FontType == 2));
        Set(block, 8, Flag(settings.FontType == 1));
    } else {
        Set(block, 7, Flag(settings.FontType != 0));
    }
}

}  // namespace

SwitchBlock EncodeSwitch(int n, const CPrinterSettings& settings, const SwitchContext& context) {
    SwitchBlock block = kUnchangedBlock;
    switch (n) {
        case 1:
            Set(block, 4, Flag(settings.Speed == 1));
            Set(block, 5, Flag(settings.LCharMode == 1));
            Set(block, 6, Flag(settings.Density > 3));
            SetBits(block, 7, 8, settings.Density);
            break;
        case 2:
            SetBits(block, 1, 5, settings.CodePage);
            if (context.version >= kWideCodePageVersion) {
                Set(block, 6, Flag((settings.CodePage & 0x20) != 0));
            }
            break;
        case 3:
            Set(block, 5, Flag(settings.QrCode != 0));
            Set(block, 6, Flag(settings.MaxiCode != 0));
            Set(block, 7, Flag(settings.DataMatrix != 0));
            Set(block, 8, Flag(settings.Pdf417 != 0));
            break;
        case 5:
            Set(block, 2, Flag(settings.TimeOff > 63));
            SetBits(block, 3, 8, settings.TimeOff);
            break;
        case 6:
            Set(block, 1, Flag(settings.TimeSave > 127));
            SetBits(block, 2, 8, settings.TimeSave);
            break;
        case 7:
            if (UsesLongMsrForm(context, false)) {
                SetBits(block, 1, 4, settings.Msr + 1);
            } else {
                SetBits(block, 5, 8, settings.Msr);
            }
            break;
        case 8:
            if (context.version >= kSentinelVersion) {
                Set(block, 2, Flag(settings.Sentinel == 2));
                Set(block, 3, Flag(settings.Sentinel == 1));
            }
            Set(block, 4, Flag(settings.Service != 0));
            Set(block, 5, Flag(settings.BeepLowBat != 0));
            Set(block, 6, Flag(settings.BeepPaper != 0));
            EncodeFontType(block, settings, context);
            break;
        case kBlackMarkSwitch:
            block = {'0',
                     '0',
                     '0',
                     '0',
                     '0',
                     '0',
                     static_cast<char>(settings.BlackMarkSensor & 0xFF),
                     static_cast<char>((settings.BlackMarkSensor >> 8) & 0xFF)};
            break;
        default:
            break;
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
