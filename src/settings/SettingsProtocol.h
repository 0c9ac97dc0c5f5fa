#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace printdeck::settings {

using Bytes = std::vector<std::uint8_t>;

// The two switch dialects: MSW (1D 28 45) and SW (08 5E 45).
enum class Dialect { Msw, Sw };

// Command prefixes.
inline constexpr std::array<std::uint8_t, 3> kMswPrefix{0x1D, 0x28, 0x45};
inline constexpr std::array<std::uint8_t, 3> kSwPrefix{0x08, 0x5E, 0x45};
inline constexpr std::array<std::uint8_t, 3> kSentinelPrefix{0x08, 0x4D, 0x53};
inline constexpr std::array<std::uint8_t, 2> kBluetoothPrefix{0x1F, 0x1F};

// Function bytes after prefix, pL, pH.
inline constexpr std::uint8_t kFnBeginSetting = 0x01;
inline constexpr std::uint8_t kFnEndSetting = 0x02;
inline constexpr std::uint8_t kFnWriteSwitch = 0x03;
inline constexpr std::uint8_t kFnReadSwitch = 0x04;
inline constexpr std::uint8_t kFnWriteSerial = 0x0B;
inline constexpr std::uint8_t kFnReadSerial = 0x0C;
inline constexpr std::uint8_t kFnSentinelStart = 0x32;
inline constexpr std::uint8_t kFnSentinelEnd = 0x33;
inline constexpr std::uint8_t kFnSentinelRead = 0x34;
inline constexpr std::uint8_t kBluetoothRead = 0x69;
inline constexpr std::uint8_t kBluetoothWrite = 0x70;
inline constexpr std::uint8_t kBluetoothTextEnd = 0x0D;
inline constexpr std::uint8_t kSentinelSeparator = 0x1F;
inline constexpr std::uint8_t kSerialSeparator = 0x1F;

// The MSW switch write announces 11 bytes although 10 follow; the printer
// takes it so.
inline constexpr std::uint8_t kMswSwitchWriteLength = 0x0B;
// One SW write command carries switches 1, 2, 3, 5, 6, 7, 8.
inline constexpr std::uint8_t kSwSwitchWriteLength = 0x39;

// Switch numbers with their own meaning.
inline constexpr int kBlackMarkSwitch = 81;
inline constexpr int kRfSwitch = 80;

// Replies.
inline constexpr std::uint8_t kReplyMark = 0x37;
inline constexpr std::uint8_t kReplySettingMode = 0x20;
inline constexpr std::uint8_t kReplySwitch = 0x21;
inline constexpr std::uint8_t kReplySerial = 0x33;
inline constexpr std::uint8_t kReplyBluetooth = 0x42;
inline constexpr std::uint8_t kReplySentinel = 0x81;
inline constexpr std::size_t kSwitchReplyLength = 11;
inline constexpr std::size_t kSettingModeReplyLength = 3;

// Collection limits and buffers.
inline constexpr int kSettingModeReadRoom = 50;
inline constexpr int kTerminatedReadRoom = 255;
inline constexpr std::size_t kSerialReplyLimit = 12;
inline constexpr std::size_t kShortReplyLimit = 32;  // RF interface and sentinels
inline constexpr std::size_t kBluetoothReplyLimit = 100;
inline constexpr std::size_t kBluetoothCommandLimit = 100;
inline constexpr std::size_t kSentinelTextLimit = 12;

// Waits in milliseconds.
inline constexpr unsigned kReplyWaitMs = 150;      // switch, serial and setting-mode replies
inline constexpr unsigned kShortReplyWaitMs = 10;  // RF interface and sentinels
inline constexpr unsigned kBluetoothWaitMs = 100;
inline constexpr unsigned kFactoryDefaultWaitMs = 300;
inline constexpr unsigned kPollPauseMs = 10;
inline constexpr unsigned kReplyBudgetMs = 2000;
// The port's own read time-out bounds a single Read; this is only its hint.
inline constexpr int kReadTimeHintMs = 1000;

// Firmware thresholds.
inline constexpr int kWideCodePageVersion = 21000;
inline constexpr int kSentinelVersion = 21021;
inline constexpr int kLongMsrVersion = 11061;
inline constexpr int kNewFirmwareVersion = 101000;
inline constexpr std::uint8_t kLongMsrSetting = 0x39;

}  // namespace printdeck::settings
