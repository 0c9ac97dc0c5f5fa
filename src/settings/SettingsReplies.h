#pragma once

#include <optional>
#include <string>

#include "settings/SettingsProtocol.h"
#include "settings/SwitchCodec.h"

namespace printdeck::settings {

// The printer's settings replies, read from their collected bytes alone:
// each function decides whether a reply is acceptable and what it carries,
// and leaves every record field to its caller.

// A switch reply of exactly kSwitchReplyLength bytes: 37 21, D1..D8, 00.
std::optional<SwitchBlock> ParseSwitchReply(const Bytes& reply);

struct SerialReply {
    int rc = 0;                // RC_OK, RC_NO_REPLY or RC_BAD_REPLY
    std::optional<int> value;  // for items 1 to 4
};
// Serial item n: 37 33, '0'+n, 1F, value, 00. The baud rate is a decimal
// number; parity ('0'-'2'), flow control ('0'-'1') and data bits ('7'-'8')
// are one digit each.
SerialReply ParseSerialReply(const Bytes& reply, int n);

struct BluetoothReply {
    int rc = 0;  // RC_OK, RC_NO_REPLY or RC_BAD_REPLY
    char letter = 0;
    int number = 0;    // 'c': connection mode 0-2; 's': security 0-1
    std::string text;  // 'd': device name; 'k': PIN
};
// 37 42, item letter, value, 00; the letter in the reply decides the item.
BluetoothReply ParseBluetoothReply(const Bytes& reply);

// Switch 80 (37 21, D1..D8, 00, after any stray bytes): its block, whose D7
// and D8 select the RF interface, or nullopt when D7 or D8 is missing.
std::optional<SwitchBlock> ParseRfReply(const Bytes& reply);

struct SentinelReply {
    bool report = false;  // false: no sentinel report, nothing to change
    std::string start;
    std::string end;
};
// 37 81, '0'+track, start text, 1F, end text, 00, after any stray bytes.
SentinelReply ParseSentinelReply(const Bytes& reply, int track);

}  // namespace printdeck::settings
