#include "NvHandlers.h"

#include <algorithm>
#include <memory>
#include <optional>

#include "SettingsHandlers.h"

namespace printdeck::vp {

namespace {

using std::chrono::milliseconds;

constexpr std::uint8_t kAck = 0x06;
constexpr std::uint8_t kListMark[] = {0x37, 0x72};
constexpr std::uint8_t kLastBlock = 0x40;
constexpr std::uint8_t kMoreBlocks = 0x41;
constexpr milliseconds kAnswerWait{3000};

// GS ( L pL pH m fn ...
const Bytes kKeyCodePrefix = {0x1D, 0x28, 0x4C};
constexpr std::size_t kKeyCodeHeader = 5;
constexpr std::uint8_t kKeyCodeM = 0x30;
constexpr std::uint8_t kFnDeleteAll = 0x41;
constexpr std::uint8_t kFnDeleteOne = 0x42;
constexpr std::uint8_t kFnDefine = 0x43;
constexpr std::uint8_t kFnList = 0x40;
constexpr std::uint8_t kFnPrint = 0x45;
// Bytes of a define command's parameters before its raster.
constexpr std::size_t kDefineHeader = 11;

// 08 5E 37 L0..L3 43 n blocks, and 08 5E 4C pL pH fn ...
const Bytes kDownloadPrefix = {0x08, 0x5E, 0x37};
constexpr std::size_t kDownloadCountEnd = 7;
const Bytes kIndexedPrefix = {0x08, 0x5E, 0x4C};
constexpr std::uint8_t kFnIndexedPrint = 0x45;
constexpr std::uint8_t kFnIndexedDeleteAll = 0x41;
constexpr std::size_t kBlockHeader = 6;

std::size_t Le16(ByteView bytes, std::size_t at) {
    return static_cast<std::size_t>(bytes[at]) | static_cast<std::size_t>(bytes[at + 1]) << 8;
}

std::size_t Le32(ByteView bytes, std::size_t at) {
    return Le16(bytes, at) | Le16(bytes, at + 2) << 16;
}

bool Equals(ByteView bytes, std::size_t at, ByteView expected) {
    return bytes.size() >= at + expected.size() &&
           std::equal(expected.begin(), expected.end(), bytes.begin() + static_cast<long>(at));
}

// A command whose length field (little-endian, 16 or 32 bits) follows its
// prefix and counts the bytes behind the field.
Match MatchCounted(ByteView pending, const Bytes& prefix, std::size_t countBytes) {
    const std::size_t headerEnd = prefix.size() + countBytes;
    const Match head = MatchLength(pending, prefix, headerEnd);
    if (head.kind != Match::Kind::Complete) {
        return head;
    }
    const std::size_t count =
        countBytes == 2 ? Le16(pending, prefix.size()) : Le32(pending, prefix.size());
    return MatchLength(pending, prefix, headerEnd + count);
}

// A raster of width x height dots at `at`, framed as `header` bytes with the
// width at widthAt and the height behind it; nullopt when the bytes do not
// hold exactly that raster up to `end`.
std::optional<NvGraphic> ReadGraphic(ByteView bytes, std::size_t widthAt, std::size_t rasterAt,
                                     std::size_t end) {
    if (end > bytes.size() || rasterAt > end) {
        return std::nullopt;
    }
    NvGraphic graphic;
    graphic.width = static_cast<int>(Le16(bytes, widthAt));
    graphic.height = static_cast<int>(Le16(bytes, widthAt + 2));
    const std::size_t size = static_cast<std::size_t>((graphic.width + 7) / 8) *
                             static_cast<std::size_t>(graphic.height);
    if (graphic.width == 0 || graphic.height == 0 || end - rasterAt != size) {
        return std::nullopt;
    }
    graphic.raster.assign(bytes.begin() + static_cast<long>(rasterAt),
                          bytes.begin() + static_cast<long>(end));
    return graphic;
}

// The list reply: blocks of at most `perBlock` key codes, each but the last
// announcing a further block.
std::vector<Bytes> ListBlocks(const std::vector<std::string>& codes, std::size_t perBlock) {
    perBlock = std::max<std::size_t>(perBlock, 1);
    std::vector<Bytes> blocks;
    std::size_t next = 0;
    do {
        const std::size_t end = std::min(codes.size(), next + perBlock);
        Bytes block(std::begin(kListMark), std::end(kListMark));
        block.push_back(end < codes.size() ? kMoreBlocks : kLastBlock);
        for (; next < end; ++next) {
            block.insert(block.end(), codes[next].begin(), codes[next].end());
        }
        block.push_back(0x00);
        blocks.push_back(std::move(block));
    } while (next < codes.size());
    return blocks;
}

// Base of both families: answers only while the firmware reply names its family.
class NvHandler : public ICommandHandler {
public:
    NvHandler(bool indexed, Guarded<Identity>& identity, Guarded<NvMemory>& memory)
        : m_indexed(indexed), m_identity(identity), m_memory(memory) {}

protected:
    bool MyFamily() const { return SpeaksSwDialect(m_identity.Get()) == m_indexed; }
    void Update(const std::function<void(NvMemory&)>& change) { m_memory.Update(change); }
    NvMemory Snapshot() const { return m_memory.Get(); }
    void CountMalformed() {
        Update([](NvMemory& memory) { ++memory.malformedDownloads; });
    }

private:
    bool m_indexed;
    Guarded<Identity>& m_identity;
    Guarded<NvMemory>& m_memory;
};

class KeyCodeHandler final : public NvHandler {
public:
    using NvHandler::NvHandler;

    std::string_view Name() const override { return "nv-key-code"; }

    Match Recognise(ByteView pending) override {
        const Match match = MatchCounted(pending, kKeyCodePrefix, 2);
        return match.kind == Match::Kind::NotMine || MyFamily() ? match : Match::NotMine();
    }

    void Handle(ByteView command, ReplyChannel& reply) override {
        if (command.size() < kKeyCodeHeader + 2 || command[kKeyCodeHeader] != kKeyCodeM) {
            return;
        }
        const std::size_t parameters = command.size() - kKeyCodeHeader;
        const std::string keyCode = parameters >= 4 ? std::string{static_cast<char>(command[7]),
                                                                  static_cast<char>(command[8])}
                                                    : std::string();
        switch (command[kKeyCodeHeader + 1]) {
            case kFnList:
                if (Equals(command, 7, ToBytes("KC"))) {
                    SendList(reply);
                }
                break;
            case kFnDefine:
                Define(command);
                break;
            case kFnPrint:
                if (parameters == 6) {
                    Update([&](NvMemory& memory) {
                        if (memory.Find(keyCode) != nullptr) {
                            ++memory.keyCodePrints[keyCode];
                        }
                    });
                }
                break;
            case kFnDeleteOne:
                if (parameters == 4) {
                    Update([&](NvMemory& memory) {
                        std::erase_if(memory.keyCodeGraphics, [&](const KeyCodeGraphic& stored) {
                            return stored.keyCode == keyCode;
                        });
                    });
                }
                break;
            case kFnDeleteAll:
                if (Equals(command, 7, ToBytes("CLR"))) {
                    Update([](NvMemory& memory) { memory.keyCodeGraphics.clear(); });
                }
                break;
            default:
                break;
        }
    }

private:
    // 30 43 30 kc1 kc2 01 xL xH yL yH 31 raster: the raster must fill the
    // parameter count exactly.
    void Define(ByteView command) {
        const bool framed = command.size() >= kKeyCodeHeader + kDefineHeader &&
                            command[7] == 0x30 && command[10] == 0x01 && command[15] == 0x31;
        const auto graphic =
            framed ? ReadGraphic(command, 11, kKeyCodeHeader + kDefineHeader, command.size())
                   : std::nullopt;
        if (!graphic) {
            CountMalformed();
            return;
        }
        const std::string keyCode{static_cast<char>(command[8]), static_cast<char>(command[9])};
        Update([&](NvMemory& memory) {
            auto stored =
                std::find_if(memory.keyCodeGraphics.begin(), memory.keyCodeGraphics.end(),
                             [&](const KeyCodeGraphic& entry) { return entry.keyCode == keyCode; });
            if (stored != memory.keyCodeGraphics.end()) {
                stored->graphic = *graphic;
            } else {
                memory.keyCodeGraphics.push_back({keyCode, *graphic});
            }
        });
    }

    // Each block waits for the host's answer; anything but ACK ends the list.
    void SendList(ReplyChannel& reply) {
        const NvMemory memory = Snapshot();
        const std::vector<Bytes> blocks = memory.scriptedListReply.empty()
                                              ? ListBlocks(memory.KeyCodes(), memory.listBlockCodes)
                                              : memory.scriptedListReply;
        for (const Bytes& block : blocks) {
            reply.Send(block);
            const std::optional<std::uint8_t> answer = reply.AwaitHostByte(kAnswerWait);
            if (answer) {
                Update([&](NvMemory& changed) { changed.listAnswers.push_back(*answer); });
            }
            if (answer != kAck) {
                return;
            }
        }
    }
};

class IndexedHandler final : public NvHandler {
public:
    using NvHandler::NvHandler;

    std::string_view Name() const override { return "nv-indexed"; }

    Match Recognise(ByteView pending) override {
        Match match = MatchCounted(pending, kDownloadPrefix, 4);
        if (match.kind == Match::Kind::NotMine) {
            match = MatchCounted(pending, kIndexedPrefix, 2);
        }
        return match.kind == Match::Kind::NotMine || MyFamily() ? match : Match::NotMine();
    }

    void Handle(ByteView command, ReplyChannel&) override {
        if (Equals(command, 0, kDownloadPrefix)) {
            Download(command);
            return;
        }
        if (command.size() == 9 && command[5] == kFnIndexedPrint && command[7] == 0x01 &&
            command[8] == 0x01) {
            const int index = command[6];
            Update([index](NvMemory& memory) {
                if (static_cast<std::size_t>(index) < memory.indexedGraphics.size()) {
                    ++memory.indexPrints[index];
                }
            });
        } else if (command.size() == 6 && command[5] == kFnIndexedDeleteAll) {
            Update([](NvMemory& memory) { memory.indexedGraphics.clear(); });
        }
    }

private:
    // 43 n, then n blocks 01 xL xH yL yH 31 raster that fill the announced
    // length exactly; a download replaces every stored image.
    void Download(ByteView command) {
        std::vector<NvGraphic> graphics;
        const bool framed =
            command.size() >= kDownloadCountEnd + 2 && command[kDownloadCountEnd] == 0x43;
        std::size_t at = kDownloadCountEnd + 2;
        for (int n = framed ? command[kDownloadCountEnd + 1] : -1; n > 0; --n) {
            if (at + kBlockHeader > command.size() || command[at] != 0x01 ||
                command[at + 5] != 0x31) {
                break;
            }
            const std::size_t rasterAt = at + kBlockHeader;
            const std::size_t rows = Le16(command, at + 3);
            const std::size_t end = rasterAt + (Le16(command, at + 1) + 7) / 8 * rows;
            const auto graphic = ReadGraphic(command, at + 1, rasterAt, end);
            if (!graphic) {
                break;
            }
            graphics.push_back(*graphic);
            at = end;
        }
        const bool complete =
            framed && graphics.size() == command[kDownloadCountEnd + 1] && at == command.size();
        if (!complete) {
            CountMalformed();
            return;
        }
        Update([&](NvMemory& memory) { memory.indexedGraphics = std::move(graphics); });
    }
};

}  // namespace

void RegisterNvHandlers(CommandDispatcher& dispatcher, Guarded<Identity>& identity,
                        Guarded<NvMemory>& memory) {
    dispatcher.Register(std::make_unique<KeyCodeHandler>(false, identity, memory));
    dispatcher.Register(std::make_unique<IndexedHandler>(true, identity, memory));
}

}  // namespace printdeck::vp
