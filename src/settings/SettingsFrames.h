#pragma once

#include <cstdint>
#include <string>

#include "settings/SettingsProtocol.h"
#include "settings/SwitchCodec.h"

namespace printdeck::settings {

// Byte frames of the settings commands. Each builder returns what one Write
// sends; operations and the factory-default blocks share them.

Bytes BeginSettingCommand(Dialect dialect);
Bytes EndSettingCommand(Dialect dialect);
Bytes ReadSwitchCommand(Dialect dialect, int n);
Bytes ReadSerialCommand(Dialect dialect, int n);

// MSW switch write: header, then switch number and block as the second write.
Bytes MswSwitchWriteHeader();
Bytes MswSwitchWriteData(int n, const SwitchBlock& block);
// SW switch write: the header opens one command for all seven blocks.
Bytes SwSwitchWriteHeader();
Bytes BlockBytes(const SwitchBlock& block);

// Decimal text of a serial speed; speeds without their own text become "115200".
std::string BaudText(int baudrate);
// '0' + value, as the serial items and Bluetooth flags send a digit.
char DigitChar(int value, char zero = '0');
Bytes MswSerialHeader(int n, std::size_t valueLength);
Bytes SwSerialCommand(int baudrate, int parity, int flowControl, int dataBits);

Bytes BluetoothReadCommand(int item);
// Empty when PIN and name do not fit the command buffer.
Bytes BluetoothWriteCommand(int security, int connectionMode, const std::string& pin,
                            const std::string& name);

Bytes SentinelReadCommand(int track);
Bytes SentinelStartHeader(int track, std::size_t textLength);
Bytes SentinelEndHeader(int track, std::size_t textLength);

// The model's whole factory-default block; empty for a model without one.
Bytes FactoryDefaultBlock(int model, int version);

// The record as the printer should report it once that block took effect:
// its switch, serial, Bluetooth and sentinel values, with the switch
// positions the block leaves unchanged as the record holds them. False, and
// the record unchanged, for a model without a block.
bool ApplyFactoryDefaults(int model, int version, std::uint8_t msrSetting,
                          CPrinterSettings& settings);

}  // namespace printdeck::settings
