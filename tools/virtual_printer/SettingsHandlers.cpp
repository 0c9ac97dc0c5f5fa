#include "SettingsHandlers.h"

#include <functional>
#include <memory>
#include <string>
#include <utility>

#include "device/PrinterDevice.h"

namespace printdeck::vp {

namespace {

const Bytes kMswPrefix{0x1D, 0x28, 0x45};
const Bytes kSwPrefix{0x08, 0x5E, 0x45};
const Bytes kSentinelPrefix{0x08, 0x4D, 0x53};
const Bytes kBluetoothRead{0x1F, 0x1F, 0x69};
const Bytes kBluetoothWrite{0x1F, 0x1F, 0x70};

constexpr std::uint8_t kReplyMark = 0x37;
constexpr std::uint8_t kReplySettingMode = 0x20;
constexpr std::uint8_t kReplySwitch = 0x21;
constexpr std::uint8_t kReplySerial = 0x33;
constexpr std::uint8_t kReplyBluetooth = 0x42;
constexpr std::uint8_t kReplySentinel = 0x81;
constexpr std::uint8_t kSeparator = 0x1F;
constexpr std::uint8_t kTextEnd = 0x0D;
constexpr std::size_t kHeaderLength = 6;  // prefix, pL, pH, function
constexpr std::size_t kBluetoothWriteLimit = 100;
constexpr std::size_t kSwitchLength = 8;
// The order of the blocks in the SW dialect's one switch write.
constexpr int kSwWriteOrder[] = {1, 2, 3, 5, 6, 7, 8};

enum class Dialect { Msw, Sw, Any };

// What a command does to the memory, and the reply it earns (empty: none).
using Action = std::function<Bytes(ByteView command, SettingsMemory& memory)>;
using Recogniser = std::function<Match(ByteView pending)>;

// One settings command shape, gated by dialect, answered from the memory
// unless a test scripted the reply.
class SettingsHandler final : public ICommandHandler {
public:
    SettingsHandler(std::string name, Dialect dialect, Recogniser recognise, Action action,
                    Guarded<Identity>& identity, Guarded<SettingsMemory>& memory)
        : m_name(std::move(name)),
          m_dialect(dialect),
          m_recognise(std::move(recognise)),
          m_action(std::move(action)),
          m_identity(identity),
          m_memory(memory) {}

    std::string_view Name() const override { return m_name; }

    Match Recognise(ByteView pending) override {
        const Match match = m_recognise(pending);
        if (match.kind == Match::Kind::NotMine || m_dialect == Dialect::Any) {
            return match;
        }
        const bool sw = SpeaksSwDialect(m_identity.Get());
        return sw == (m_dialect == Dialect::Sw) ? match : Match::NotMine();
    }

    void Handle(ByteView command, ReplyChannel& reply) override {
        Bytes answer;
        m_memory.Update([&](SettingsMemory& memory) {
            answer = m_action(command, memory);
            if (memory.scriptedReply) {
                answer = std::exchange(memory.scriptedReply, std::nullopt).value();
            }
        });
        if (!answer.empty()) {
            reply.Send(answer);
        }
    }

private:
    std::string m_name;
    Dialect m_dialect;
    Recogniser m_recognise;
    Action m_action;
    Guarded<Identity>& m_identity;
    Guarded<SettingsMemory>& m_memory;
};

Bytes Header(const Bytes& prefix, std::uint8_t length, std::uint8_t function) {
    Bytes header = prefix;
    header.insert(header.end(), {length, 0x00, function});
    return header;
}

Recogniser Fixed(Bytes command) {
    return
        [command = std::move(command)](ByteView pending) { return MatchPrefix(pending, command); };
}

Recogniser WithArgument(Bytes header, std::size_t total) {
    return [header = std::move(header), total](ByteView pending) {
        return MatchLength(pending, header, total);
    };
}

// prefix, pL, 00, function, then pL - 1 more bytes.
Recogniser Framed(Bytes prefix, std::uint8_t function) {
    return [prefix = std::move(prefix), function](ByteView pending) {
        const Match head = MatchLength(pending, prefix, kHeaderLength);
        if (head.kind != Match::Kind::Complete) {
            return head;
        }
        if (pending[4] != 0x00 || pending[5] != function || pending[3] == 0) {
            return Match::NotMine();
        }
        return MatchLength(pending, prefix, prefix.size() + 2 + pending[3]);
    };
}

std::string TextOf(ByteView bytes) {
    return std::string(bytes.begin(), bytes.end());
}

Bytes Reply(std::initializer_list<std::uint8_t> head, const std::string& value) {
    Bytes reply(head);
    reply.insert(reply.end(), value.begin(), value.end());
    reply.push_back(0x00);
    return reply;
}

// '2' (or anything but '0' and '1') leaves a position as it is.
void ApplySwitch(SettingsMemory& memory, int n, ByteView chars) {
    const auto found = memory.switches.find(n);
    if (found == memory.switches.end() || n == memory.ignoredSwitch) {
        return;
    }
    for (std::size_t k = 0; k < kSwitchLength; ++k) {
        if (chars[k] == '0' || chars[k] == '1') {
            found->second[k] = static_cast<char>(chars[k]);
        }
    }
}

Bytes ReadSwitch(ByteView command, SettingsMemory& memory) {
    const std::string chars = memory.Switch(command[kHeaderLength]);
    if (chars.empty()) {
        return {};
    }
    return Reply({kReplyMark, kReplySwitch}, chars);
}

std::string SerialValue(const SettingsMemory& memory, int n) {
    switch (n) {
        case 1:
            return memory.baudrate;
        case 2:
            return std::string(1, memory.parity);
        case 3:
            return std::string(1, memory.flowControl);
        case 4:
            return std::string(1, memory.dataBits);
        default:
            return {};
    }
}

Bytes ReadSerial(ByteView command, SettingsMemory& memory) {
    const std::uint8_t n = command[kHeaderLength];
    const std::string value = SerialValue(memory, n);
    if (value.empty()) {
        return {};
    }
    return Reply({kReplyMark, kReplySerial, static_cast<std::uint8_t>('0' + n), kSeparator}, value);
}

void StoreSerial(SettingsMemory& memory, int n, const std::string& value) {
    if (value.empty()) {
        return;
    }
    switch (n) {
        case 1:
            memory.baudrate = value;
            break;
        case 2:
            memory.parity = value[0];
            break;
        case 3:
            memory.flowControl = value[0];
            break;
        case 4:
            memory.dataBits = value[0];
            break;
        default:
            break;
    }
}

Bytes BeginSetting(ByteView, SettingsMemory& memory) {
    memory.settingMode = true;
    return {kReplyMark, kReplySettingMode, 0x00};
}

Bytes EndSetting(ByteView, SettingsMemory& memory) {
    memory.settingMode = false;
    return {};
}

void RegisterSwitchFamily(const std::function<void(std::string, Dialect, Recogniser, Action)>& add,
                          Dialect dialect) {
    const Bytes& prefix = dialect == Dialect::Msw ? kMswPrefix : kSwPrefix;
    const std::string tag = dialect == Dialect::Msw ? "msw-" : "sw-";
    add(tag + "read-switch", dialect, WithArgument(Header(prefix, 0x02, 0x04), kHeaderLength + 1),
        ReadSwitch);
    add(tag + "read-serial", dialect, WithArgument(Header(prefix, 0x02, 0x0C), kHeaderLength + 1),
        ReadSerial);
}

void RegisterMswCommands(const std::function<void(std::string, Dialect, Recogniser, Action)>& add) {
    Bytes begin = Header(kMswPrefix, 0x03, 0x01);
    begin.insert(begin.end(), {'I', 'N'});
    Bytes end = Header(kMswPrefix, 0x04, 0x02);
    end.insert(end.end(), {'O', 'U', 'T'});
    add("msw-setting-start", Dialect::Msw, Fixed(begin), BeginSetting);
    add("msw-setting-end", Dialect::Msw, Fixed(end), EndSetting);
    // The write announces 11 bytes but carries 10: switch number and block.
    add("msw-write-switch", Dialect::Msw,
        WithArgument(Header(kMswPrefix, 0x0B, 0x03), kHeaderLength + 1 + kSwitchLength),
        [](ByteView command, SettingsMemory& memory) {
            ApplySwitch(memory, command[kHeaderLength], command.subspan(kHeaderLength + 1));
            return Bytes{};
        });
    add("msw-write-serial", Dialect::Msw, Framed(kMswPrefix, 0x0B),
        [](ByteView command, SettingsMemory& memory) {
            if (command.size() > kHeaderLength) {
                StoreSerial(memory, command[kHeaderLength],
                            TextOf(command.subspan(kHeaderLength + 1)));
            }
            return Bytes{};
        });
    RegisterSwitchFamily(add, Dialect::Msw);
}

void RegisterSwCommands(const std::function<void(std::string, Dialect, Recogniser, Action)>& add) {
    add("sw-setting-start", Dialect::Sw, Fixed(Header(kSwPrefix, 0x01, 0x01)), BeginSetting);
    add("sw-setting-end", Dialect::Sw, Fixed(Header(kSwPrefix, 0x01, 0x02)), EndSetting);
    // One command carries the seven blocks; the printer takes all 56 characters.
    constexpr std::size_t order = std::size(kSwWriteOrder);
    add("sw-write-switches", Dialect::Sw,
        WithArgument(Header(kSwPrefix, 0x39, 0x03), kHeaderLength + order * kSwitchLength),
        [](ByteView command, SettingsMemory& memory) {
            for (std::size_t i = 0; i < order; ++i) {
                ApplySwitch(memory, kSwWriteOrder[i],
                            command.subspan(kHeaderLength + i * kSwitchLength));
            }
            return Bytes{};
        });
    // Baud-rate text, then one digit each for parity, flow control, data bits.
    add("sw-write-serial", Dialect::Sw, Framed(kSwPrefix, 0x0B),
        [](ByteView command, SettingsMemory& memory) {
            const std::string value = TextOf(command.subspan(kHeaderLength));
            if (value.size() >= 4) {
                const std::size_t digits = value.size() - 3;
                StoreSerial(memory, 1, value.substr(0, digits));
                StoreSerial(memory, 2, value.substr(digits, 1));
                StoreSerial(memory, 3, value.substr(digits + 1, 1));
                StoreSerial(memory, 4, value.substr(digits + 2, 1));
            }
            return Bytes{};
        });
    RegisterSwitchFamily(add, Dialect::Sw);
}

Bytes ReadBluetooth(ByteView command, SettingsMemory& memory) {
    const std::uint8_t item = command[3];
    std::string value;
    switch (item) {
        case 'c':
            value = std::string(1, memory.btConnectionMode);
            break;
        case 's':
            value = std::string(1, memory.btSecurity);
            break;
        case 'd':
            value = memory.btName;
            break;
        case 'k':
            value = memory.btPin;
            break;
        default:
            return {};
    }
    return Reply({kReplyMark, kReplyBluetooth, item}, value);
}

// 1F 1F 70, security, mode, PIN, 0D, name, 0D.
Bytes WriteBluetooth(ByteView command, SettingsMemory& memory) {
    const std::string body = TextOf(command.subspan(kBluetoothWrite.size()));
    const std::size_t pinEnd = body.find(static_cast<char>(kTextEnd), 2);
    if (body.size() < 4 || pinEnd == std::string::npos || pinEnd + 1 >= body.size()) {
        return {};
    }
    memory.btSecurity = body[0];
    memory.btConnectionMode = body[1];
    memory.btPin = body.substr(2, pinEnd - 2);
    memory.btName = body.substr(pinEnd + 1, body.size() - pinEnd - 2);
    return {};
}

// Track digit '1'..'3' as an index, or -1.
int TrackIndex(std::uint8_t digit) {
    return digit >= '1' && digit <= '3' ? digit - '1' : -1;
}

Bytes ReadSentinel(ByteView command, SettingsMemory& memory) {
    const std::uint8_t digit = command[kHeaderLength];
    const int track = TrackIndex(digit);
    if (track < 0 || memory.trackSilent[static_cast<std::size_t>(track)]) {
        return {};
    }
    const auto index = static_cast<std::size_t>(track);
    return Reply({kReplyMark, kReplySentinel, digit},
                 memory.trackStart[index] + static_cast<char>(kSeparator) + memory.trackEnd[index]);
}

// An empty end text travels as one 00 byte.
Action WriteSentinel(bool start) {
    return [start](ByteView command, SettingsMemory& memory) {
        const int track = TrackIndex(command[kHeaderLength]);
        if (track >= 0) {
            std::string text = TextOf(command.subspan(kHeaderLength + 1));
            if (text == std::string(1, '\0')) {
                text.clear();
            }
            auto& texts = start ? memory.trackStart : memory.trackEnd;
            texts[static_cast<std::size_t>(track)] = text;
        }
        return Bytes{};
    };
}

}  // namespace

bool SpeaksSwDialect(const Identity& identity) {
    const int model = CPrinterDevice::ParseModel(identity.model);
    return UsesSwDialect(CPrinterDevice::ParseVersion(model, identity.firmware));
}

void RegisterSettingsHandlers(CommandDispatcher& dispatcher, Guarded<Identity>& identity,
                              Guarded<SettingsMemory>& memory) {
    const auto add = [&](std::string name, Dialect dialect, Recogniser recognise, Action action) {
        dispatcher.Register(std::make_unique<SettingsHandler>(
            std::move(name), dialect, std::move(recognise), std::move(action), identity, memory));
    };
    RegisterMswCommands(add);
    RegisterSwCommands(add);
    add("bluetooth-read", Dialect::Any, WithArgument(kBluetoothRead, kBluetoothRead.size() + 1),
        ReadBluetooth);
    add(
        "bluetooth-write", Dialect::Any,
        [](ByteView pending) {
            return MatchTerminated(pending, kBluetoothWrite, kTextEnd, 2, kBluetoothWriteLimit);
        },
        WriteBluetooth);
    add("sentinel-read", Dialect::Any,
        WithArgument(Header(kSentinelPrefix, 0x02, 0x34), kHeaderLength + 1), ReadSentinel);
    add("sentinel-start", Dialect::Any, Framed(kSentinelPrefix, 0x32), WriteSentinel(true));
    add("sentinel-end", Dialect::Any, Framed(kSentinelPrefix, 0x33), WriteSentinel(false));
}

}  // namespace printdeck::vp
