#include "settings/SettingsFrames.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "device/PrinterDevice.h"

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

Bytes FactorySentinels() {
    Bytes block;
    for (int track = 1; track <= 3; ++track) {
        const std::string start = "START" + std::to_string(track);
        const std::string end = "END" + std::to_string(track);
        Append(block, SentinelStartHeader(track, start.size()));
        Append(block, start);
        Append(block, SentinelEndHeader(track, end.size()));
        Append(block, end);
    }
    return block;
}

}  // namespace

Bytes FactoryDefaultBlock(int model, int version) {
    Bytes block;
    switch (model) {
        case MODEL_T200:
            if (version < SW_DIALECT_FIRST) {
                block = MswFactorySettings();
            } else {
                block = SwFactorySettings();
            }
            Append(block, FactoryBluetooth("MRQ-T200"));
            break;
        case MODEL_KT220:
            block = SwFactorySettings();
            Append(block, FactoryBluetooth("KT 220"));
            block.insert(block.end(), 2, 0x00);
            break;
        case MODEL_T300:
        case MODEL_T200II:
            block = MswFactorySettings();
            Append(block, FactorySentinels());
            Append(block, FactoryBluetooth("MRQ-T200"));
            break;
        default:
            break;
    }
    return block;
}

}  // namespace printdeck::settings
