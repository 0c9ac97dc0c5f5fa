// Printer commands of both NV image families and the print-file writer.

#include <array>
#include <cstdio>
#include <optional>

#include "app/ConfigStore.h"
#include "nvimage/NvAddress.h"
#include "nvimage/NvImageList.h"
#include "nvimage/NvListReply.h"

namespace printdeck {

namespace {

using Command = std::vector<std::uint8_t>;

constexpr std::uint8_t kAck = 0x06;
constexpr std::uint8_t kCan = 0x18;

// Key-code family: GS ( L with m = 48.
const Command kReadKeyCodesCommand = {0x1D, 0x28, 0x4C, 0x04, 0x00, 0x30, 0x40, 0x4B, 0x43};
const Command kDeleteAllKeyCodesCommand = {0x1D, 0x28, 0x4C, 0x05, 0x00,
                                           0x30, 0x41, 0x43, 0x4C, 0x52};
// Indexed family.
const Command kDeleteAllIndexesCommand = {0x08, 0x5E, 0x4C, 0x01, 0x00, 0x41};
constexpr std::size_t kIndexedHeaderSize = 9;
// An indexed printer that cannot say how many images it holds is asked to
// print this many.
constexpr int kDefaultIndexedPrintCount = 78;
// The download header counts the images in one byte.
constexpr int kMaxIndexedImages = 255;

// One reply block of the key-code list: collected into a bounded buffer.
constexpr std::size_t kReplyBlockSize = 1024;
constexpr int kReadPieceSize = 255;
constexpr std::uint32_t kBlockWaitMs = 150;
constexpr std::uint32_t kReadPauseMs = 10;
constexpr std::uint64_t kBlockLimitMs = 2000;
// A printer that announced a further block forever is cut off.
constexpr int kMaxReplyBlocks = 256;

constexpr std::size_t kRecordPieceSize = 4096;

CPrinterPort* OpenPortOf(CPrinterDevice* device) {
    return device != nullptr && device->m_Port.m_bOpen ? &device->m_Port : nullptr;
}

// Writes every byte, or closes the port and reports the short write.
int WriteOrClose(CPrinterPort& port, const std::uint8_t* data, std::size_t length) {
    if (port.Write(data, static_cast<int>(length)) != static_cast<int>(length)) {
        port.Close();
        return RC_WRITE_FAILED;
    }
    return RC_OK;
}

int WriteOrClose(CPrinterPort& port, const Command& command) {
    return WriteOrClose(port, command.data(), command.size());
}

// Sends a command on an open port; RC_PORT_CLOSED without sending otherwise.
int SendCommand(CPrinterDevice* device, const Command& command) {
    CPrinterPort* port = OpenPortOf(device);
    return port != nullptr ? WriteOrClose(*port, command) : RC_PORT_CLOSED;
}

Command PrintKeyCodeCommand(const std::string& address) {
    return {0x1D,
            0x28,
            0x4C,
            0x06,
            0x00,
            0x30,
            0x45,
            static_cast<std::uint8_t>(address[0]),
            static_cast<std::uint8_t>(address[1]),
            0x01,
            0x01};
}

Command DeleteKeyCodeCommand(const std::string& address) {
    return {0x1D,
            0x28,
            0x4C,
            0x04,
            0x00,
            0x30,
            0x42,
            static_cast<std::uint8_t>(address[0]),
            static_cast<std::uint8_t>(address[1])};
}

Command PrintIndexCommand(std::uint8_t index) {
    return {0x08, 0x5E, 0x4C, 0x04, 0x00, 0x45, index, 0x01, 0x01};
}

// The download header announces n blocks and the bytes behind its count:
// the 43 n pair and the blocks.
std::array<std::uint8_t, kIndexedHeaderSize> IndexedHeader(std::uint8_t count,
                                                           std::uint32_t totalBytes) {
    const std::uint32_t following = totalBytes + 2;
    return {0x08,
            0x5E,
            0x37,
            static_cast<std::uint8_t>(following),
            static_cast<std::uint8_t>(following >> 8),
            static_cast<std::uint8_t>(following >> 16),
            static_cast<std::uint8_t>(following >> 24),
            0x43,
            count};
}

enum class BlockEnd { Terminated, TimedOut, Overflow };

// Collects one reply block up to and including its closing 00. Gives up after
// kBlockLimitMs once the printer has fallen silent at least once in this
// query, or when kReplyBlockSize bytes have come without a closing 00.
BlockEnd CollectBlock(CPrinterPort& port, IClock& clock, bool& silenceSeen,
                      std::vector<std::uint8_t>& block) {
    clock.Sleep(kBlockWaitMs);
    const std::uint64_t start = clock.TickCount();
    block.clear();
    for (;;) {
        std::uint8_t piece[kReadPieceSize];
        const int count = port.Read(piece, kReadPieceSize, static_cast<int>(kBlockLimitMs));
        if (count <= 0) {
            silenceSeen = true;
        }
        for (int i = 0; i < count; ++i) {
            block.push_back(piece[i]);
            if (piece[i] == 0x00) {
                return BlockEnd::Terminated;
            }
            if (block.size() == kReplyBlockSize) {
                return BlockEnd::Overflow;
            }
        }
        clock.Sleep(kReadPauseMs);
        if (silenceSeen && clock.TickCount() - start > kBlockLimitMs) {
            return BlockEnd::TimedOut;
        }
    }
}

}  // namespace

int CNvImageList::ReadKeyCodes() {
    CPrinterPort* port = OpenPortOf(m_pDevice);
    if (port == nullptr) {
        return RC_PORT_CLOSED;
    }
    if (const int result = WriteOrClose(*port, kReadKeyCodesCommand); result != RC_OK) {
        return result;
    }
    bool silenceSeen = false;
    std::vector<std::uint8_t> block;
    block.reserve(kReplyBlockSize);
    for (int blockNumber = 0;; ++blockNumber) {
        const BlockEnd end = CollectBlock(*port, m_pDevice->Clock(), silenceSeen, block);
        const CKeyCodeBlock parsed =
            end == BlockEnd::Overflow ? CKeyCodeBlock{} : ParseKeyCodeBlock(block);
        if (!parsed.m_bWellFormed || blockNumber >= kMaxReplyBlocks) {
            port->Write(&kCan, 1);
            port->Close();
            return RC_BAD_REPLY;
        }
        if (const int result = WriteOrClose(*port, &kAck, 1); result != RC_OK) {
            return result;
        }
        if (blockNumber == 0) {
            m_NvAddresses.clear();
        }
        m_NvAddresses.insert(m_NvAddresses.end(), parsed.m_KeyCodes.begin(),
                             parsed.m_KeyCodes.end());
        if (!parsed.m_bMoreFollow) {
            return m_NvAddresses.empty() ? RC_NO_NV_IMAGES : RC_OK;
        }
    }
}

int CNvImageList::ReadStoredIndexes() {
    if (OpenPortOf(m_pDevice) == nullptr) {
        return RC_PORT_CLOSED;
    }
    // A damaged store must not make the list (and print-all) endless.
    m_nStoredCount = std::min(ReadStoredCount(kNvKey), kMaxIndexedImages);
    if (m_nStoredCount == 0) {
        return RC_NO_NV_IMAGES;
    }
    m_NvAddresses.clear();
    for (int index = 0; index < m_nStoredCount; ++index) {
        char address[16];
        std::snprintf(address, sizeof address, "%02d", index);
        m_NvAddresses.emplace_back(address);
    }
    return RC_OK;
}

int CNvImageList::SendRecord(const CNvDownloadRecord& record) {
    if (m_pDevice == nullptr) {
        return RC_PORT_CLOSED;
    }
    const std::vector<std::uint8_t>& data = record.m_Data;
    for (std::size_t sent = 0; sent < data.size();) {
        const std::size_t piece = std::min(kRecordPieceSize, data.size() - sent);
        if (const int result = WriteOrClose(m_pDevice->m_Port, data.data() + sent, piece);
            result != RC_OK) {
            return result;
        }
        sent += piece;
    }
    return RC_OK;
}

int CNvImageList::SendIndexedHeader(std::uint8_t count, std::uint32_t totalBytes) {
    const auto header = IndexedHeader(count, totalBytes);
    return SendCommand(m_pDevice, Command(header.begin(), header.end()));
}

int CNvImageList::PrintKeyCode(const std::string& address) {
    if (OpenPortOf(m_pDevice) == nullptr) {
        return RC_PORT_CLOSED;
    }
    if (!IsValidNvAddress(address)) {
        return RC_BAD_ADDRESS;
    }
    return SendCommand(m_pDevice, PrintKeyCodeCommand(address));
}

int CNvImageList::PrintAllKeyCodes() {
    if (OpenPortOf(m_pDevice) == nullptr) {
        return RC_PORT_CLOSED;
    }
    if (m_NvAddresses.empty()) {
        return RC_NO_NV_IMAGES;
    }
    for (const std::string& address : m_NvAddresses) {
        if (const int result = PrintKeyCode(address); result != RC_OK) {
            return result;
        }
    }
    return RC_OK;
}

int CNvImageList::PrintIndex(std::uint8_t index) {
    if (m_pDevice == nullptr) {
        return RC_PORT_CLOSED;
    }
    return WriteOrClose(m_pDevice->m_Port, PrintIndexCommand(index));
}

int CNvImageList::PrintAllIndexes() {
    if (OpenPortOf(m_pDevice) == nullptr) {
        return RC_PORT_CLOSED;
    }
    const int count = m_nStoredCount > 0 ? std::min(m_nStoredCount, kMaxIndexedImages)
                                         : kDefaultIndexedPrintCount;
    for (int index = 0; index < count; ++index) {
        if (const int result = PrintIndex(static_cast<std::uint8_t>(index)); result != RC_OK) {
            return result;
        }
    }
    return RC_OK;
}

int CNvImageList::DeleteKeyCode(const std::string& address) {
    if (OpenPortOf(m_pDevice) == nullptr) {
        return RC_PORT_CLOSED;
    }
    if (!IsValidNvAddress(address)) {
        return RC_BAD_ADDRESS;
    }
    return SendCommand(m_pDevice, DeleteKeyCodeCommand(address));
}

int CNvImageList::DeleteAllKeyCodes() {
    return SendCommand(m_pDevice, kDeleteAllKeyCodesCommand);
}

int CNvImageList::DeleteAllIndexes() {
    const int result = SendCommand(m_pDevice, kDeleteAllIndexesCommand);
    if (result == RC_OK) {
        m_nStoredCount = 0;
        WriteStoredCount(kNvKey, 0);
    }
    return result;
}

int CNvImageList::WritePrintFile(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        return 0;
    }
    bool written = true;
    if (IsIndexedNvPrinter()) {
        const auto header =
            IndexedHeader(static_cast<std::uint8_t>(m_DownloadQueue.size()), DownloadQueueBytes());
        written = std::fwrite(header.data(), 1, header.size(), file) == header.size();
    }
    for (auto record = m_DownloadQueue.begin(); written && record != m_DownloadQueue.end();
         ++record) {
        written = std::fwrite(record->m_Data.data(), 1, record->m_Data.size(), file) ==
                  record->m_Data.size();
    }
    // Buffered bytes may fail only when the file is closed.
    written = std::fclose(file) == 0 && written;
    return written ? 1 : 0;
}

}  // namespace printdeck
