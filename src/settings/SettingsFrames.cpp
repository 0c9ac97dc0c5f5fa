#include "settings/SettingsFrames.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <tuple>

#include "device/PrinterDevice.h"
#include "settings/PrinterSettings.h"

namespace printdeck::settings {
namespace {

template <std::size_t N>
Bytes Header(const std::array<std::uint8_t, N>& prefix, std::size_t length, std::uint8_t function) {
    Bytes frame(prefix.begin(), prefix.end());
    frame.push_back(static_cast<std::uint8_t>(length & 0xFF));
    frame.push_back(static_cast<std::uint8_t>((length >> 8) & 0xFF));
    frame.push_back(function);
    return frame;
}

Bytes HeaderFor(Dialect dialect, std::size_t length, std::uint8_t function) {
    return dialect == Dialect::Msw ? Header(kMswPrefix, length, function)
                                   : Header(kSwPrefix, length, function);
}

void Append(Bytes& frame, std::string_view text) {
    frame.insert(frame.end(), text.begin(), text.end());
}

void Append(Bytes& frame, const Bytes& more) {
    frame.insert(frame.end(), more.begin(), more.end());
}

std::uint8_t Byte(int value) {
    return static_cast<std::uint8_t>(value);
}

}  // namespace

Bytes BeginSettingCommand(Dialect dialect) {
    if (dialect == Dialect::Sw) {
        return HeaderFor(dialect, 1, kFnBeginSetting);
    }
    Bytes frame = HeaderFor(dialect, 3, kFnBeginSetting);
    Append(frame, "IN");
    return frame;
}

Bytes EndSettingCommand(Dialect dialect) {
    if (dialect == Dialect::Sw) {
        return HeaderFor(dialect, 1, kFnEndSetting);
    }
    Bytes frame = HeaderFor(dialect, 4, kFnEndSetting);
    Append(frame, "OUT");
    return frame;
}

Bytes ReadSwitchCommand(Dialect dialect, int n) {
    Bytes frame = HeaderFor(dialect, 2, kFnReadSwitch);
    frame.push_back(Byte(n));
    return frame;
}

Bytes ReadSerialCommand(Dialect dialect, int n) {
    Bytes frame = HeaderFor(dialect, 2, kFnReadSerial);
    frame.push_back(Byte(n));
    return frame;
}

Bytes MswSwitchWriteHeader() {
    return Header(kMswPrefix, kMswSwitchWriteLength, kFnWriteSwitch);
}

Bytes MswSwitchWriteData(int n, const SwitchBlock& block) {
    Bytes data{Byte(n)};
    Append(data, BlockBytes(block));
    return data;
}

Bytes SwSwitchWriteHeader() {
    return Header(kSwPrefix, kSwSwitchWriteLength, kFnWriteSwitch);
}

Bytes BlockBytes(const SwitchBlock& block) {
    return Bytes(block.begin(), block.end());
}

std::string BaudText(int baudrate) {
    switch (baudrate) {
        case 1200:
        case 2400:
        case 4800:
        case 9600:
        case 19200:
        case 38400:
        case 57600:
            return std::to_string(baudrate);
        default:
            return "115200";
    }
}

char DigitChar(int value, char zero) {
    return static_cast<char>(zero + value);
}

Bytes MswSerialHeader(int n, std::size_t valueLength) {
    Bytes frame = Header(kMswPrefix, 2 + valueLength, kFnWriteSerial);
    frame.push_back(Byte(n));
    return frame;
}

Bytes SwSerialCommand(int baudrate, int parity, int flowControl, int dataBits) {
    const std::string value =
        BaudText(baudrate) + DigitChar(parity) + DigitChar(flowControl) + DigitChar(dataBits);
    Bytes frame = Header(kSwPrefix, 1 + value.size(), kFnWriteSerial);
    Append(frame, value);
    return frame;
}

Bytes BluetoothReadCommand(int item) {
    return {kBluetoothPrefix[0], kBluetoothPrefix[1], kBluetoothRead, Byte(item)};
}

Bytes BluetoothWriteCommand(int security, int connectionMode, const std::string& pin,
                            const std::string& name) {
    Bytes frame{kBluetoothPrefix[0], kBluetoothPrefix[1], kBluetoothWrite,
                Byte(DigitChar(security)), Byte(DigitChar(connectionMode, '1'))};
    if (frame.size() + pin.size() + name.size() + 2 > kBluetoothCommandLimit) {
        return {};
    }
    Append(frame, pin);
    frame.push_back(kBluetoothTextEnd);
    Append(frame, name);
    frame.push_back(kBluetoothTextEnd);
    return frame;
}

Bytes SentinelReadCommand(int track) {
    Bytes frame = Header(kSentinelPrefix, 2, kFnSentinelRead);
    frame.push_back(Byte(DigitChar(track)));
    return frame;
}

Bytes SentinelStartHeader(int track, std::size_t textLength) {
    Bytes frame = Header(kSentinelPrefix, 2 + textLength, kFnSentinelStart);
    frame.push_back(Byte(DigitChar(track)));
    return frame;
}

// An empty end text travels as one 00 byte, so the frame always counts one.
Bytes SentinelEndHeader(int track, std::size_t textLength) {
    Bytes frame = Header(kSentinelPrefix, 2 + std::max<std::size_t>(textLength, 1), kFnSentinelEnd);
    frame.push_back(Byte(DigitChar(track)));
    return frame;
}

namespace {

struct FactorySwitch {
    int n;
    std::string_view digits;
};

constexpr std::array<FactorySwitch, 7> kFactorySwitches{{{1, "00001100"},
                                                         {2, "00000000"},
                                                         {3, "22220001"},
                                                         {5, "00001111"},
                                                         {6, "00001010"},
                                                         {7, "01110000"},
                                                         {8, "00000000"}}};
constexpr int kFactoryBaudrate = 115200;
constexpr int kFactoryDataBits = 8;
constexpr int kFactorySecurity = 1;
constexpr int kFactoryConnectionMode = 1;
constexpr std::string_view kFactoryPin = "4826";

SwitchBlock BlockOf(std::string_view digits) {
    SwitchBlock block{};
    std::copy_n(digits.begin(), block.size(), block.begin());
    return block;
}

Bytes FactoryBluetooth(const std::string& name) {
    return BluetoothWriteCommand(kFactorySecurity, kFactoryConnectionMode, std::string(kFactoryPin),
                                 name);
}

// Block A up to its setting-mode end; block D starts the same.
Bytes MswFactorySettings() {
    Bytes block = BeginSettingCommand(Dialect::Msw);
    for (const FactorySwitch& s : kFactorySwitches) {
        Append(block, MswSwitchWriteHeader());
        Append(block, MswSwitchWriteData(s.n, BlockOf(s.digits)));
    }
    const std::array<std::string, 4> serial{BaudText(kFactoryBaudrate), "0", "0",
                                            std::string(1, DigitChar(kFactoryDataBits))};
    for (std::size_t i = 0; i < serial.size(); ++i) {
        Append(block, MswSerialHeader(static_cast<int>(i) + 1, serial[i].size()));
        Append(block, serial[i]);
    }
    Append(block, EndSettingCommand(Dialect::Msw));
    return block;
}

Bytes SwFactorySettings() {
    Bytes block = BeginSettingCommand(Dialect::Sw);
    Append(block, SwSwitchWriteHeader());
    for (const FactorySwitch& s : kFactorySwitches) {
        Append(block, s.digits);
    }
    Append(block, SwSerialCommand(kFactoryBaudrate, 0, 0, kFactoryDataBits));
    Append(block, EndSettingCommand(Dialect::Sw));
    return block;
}

std::string SentinelText(const char* word, int track) {
    return word + std::to_string(track);
}

Bytes FactorySentinels() {
    Bytes block;
    for (int track = 1; track <= 3; ++track) {
        const std::string start = SentinelText("START", track);
        const std::string end = SentinelText("END", track);
        Append(block, SentinelStartHeader(track, start.size()));
        Append(block, start);
        Append(block, SentinelEndHeader(track, end.size()));
        Append(block, end);
    }
    return block;
}

// What a model's factory-default block holds besides the switches and the
// serial settings.
struct FactoryPlan {
    Dialect dialect;
    std::string_view bluetoothName;
    bool sentinels = false;
    bool trailingZeros = false;
};

std::optional<FactoryPlan> FactoryPlanOf(int model, int version) {
    switch (model) {
        case MODEL_T200:
            return FactoryPlan{version < SW_DIALECT_FIRST ? Dialect::Msw : Dialect::Sw, "MRQ-T200"};
        case MODEL_KT220:
            return FactoryPlan{Dialect::Sw, "KT 220", false, true};
        case MODEL_T300:
        case MODEL_T200II:
            return FactoryPlan{Dialect::Msw, "MRQ-T200", true};
        default:
            return std::nullopt;
    }
}

}  // namespace

Bytes FactoryDefaultBlock(int model, int version) {
    const std::optional<FactoryPlan> plan = FactoryPlanOf(model, version);
    if (!plan) {
        return {};
    }
    Bytes block = plan->dialect == Dialect::Msw ? MswFactorySettings() : SwFactorySettings();
    if (plan->sentinels) {
        Append(block, FactorySentinels());
    }
    Append(block, FactoryBluetooth(std::string(plan->bluetoothName)));
    if (plan->trailingZeros) {
        block.insert(block.end(), 2, 0x00);
    }
    return block;
}

bool ApplyFactoryDefaults(int model, int version, std::uint8_t msrSetting,
                          CPrinterSettings& settings) {
    const std::optional<FactoryPlan> plan = FactoryPlanOf(model, version);
    if (!plan) {
        return false;
    }
    const SwitchContext context{plan->dialect, version, msrSetting};
    for (const FactorySwitch& factory : kFactorySwitches) {
        SwitchBlock block = EncodeSwitch(factory.n, settings, context);
        for (std::size_t i = 0; i < block.size(); ++i) {
            if (factory.digits[i] != '2') {
                block[i] = factory.digits[i];
            }
        }
        DecodeSwitch(factory.n, block, context, settings);
    }
    settings.Baudrate = kFactoryBaudrate;
    settings.Parity = 0;
    settings.Flowcontrol = 0;
    settings.Databit = kFactoryDataBits;
    settings.m_nBtSecurity = kFactorySecurity;
    settings.m_nBtConnMode = kFactoryConnectionMode;
    settings.m_strBtPin = kFactoryPin;
    settings.m_strBtName = plan->bluetoothName;
    if (plan->sentinels) {
        for (const auto& [track, start, end] :
             {std::tuple{1, &CPrinterSettings::m_strTrack1Start, &CPrinterSettings::m_strTrack1End},
              std::tuple{2, &CPrinterSettings::m_strTrack2Start, &CPrinterSettings::m_strTrack2End},
              std::tuple{3, &CPrinterSettings::m_strTrack3Start,
                         &CPrinterSettings::m_strTrack3End}}) {
            settings.*start = SentinelText("START", track);
            settings.*end = SentinelText("END", track);
        }
    }
    return true;
}

}  // namespace printdeck::settings
