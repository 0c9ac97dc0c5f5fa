#include "nvimage/PrintFileReader.h"

#include <cstdio>

#include "nvimage/LittleEndian.h"

namespace printdeck {

namespace {

constexpr std::uint8_t kKeyCodeStart[] = {0x1D, 0x28, 0x4C};
constexpr std::uint8_t kKeyCodeDefine[] = {0x30, 0x43, 0x30};
constexpr std::uint8_t kIndexedStart[] = {0x08, 0x5E, 0x37};
constexpr std::uint8_t kColourOne = 0x31;
constexpr std::size_t kKeyCodeFixed = 11;  // define bytes, address, image header
constexpr std::size_t kImageHeader = 6;    // 01 wL wH hL hH 31
constexpr std::size_t kIndexedHeader = 9;

std::string Hex(std::uint8_t byte) {
    char text[8];
    std::snprintf(text, sizeof text, "%02X", byte);
    return text;
}

// Reads the file front to back; every read is checked against what is left.
class CPrintFileParser {
public:
    CPrintFileParser(std::span<const std::uint8_t> file, CPrintFileContents& contents)
        : m_file(file), m_contents(contents) {}

    std::optional<CPrintFileFault> Parse() {
        if (m_file.empty()) {
            return Fault("the file is empty");
        }
        if (Starts(kKeyCodeStart)) {
            m_contents.m_bIndexed = false;
            while (m_pos < m_file.size()) {
                if (auto fault = KeyCodeRecord()) {
                    return fault;
                }
            }
            return std::nullopt;
        }
        if (Starts(kIndexedStart)) {
            m_contents.m_bIndexed = true;
            return IndexedDownload();
        }
        return Fault("not a print file: it begins with " + Hex(m_file[0]) +
                     ", not a key-code record (1D 28 4C) or an indexed download (08 5E 37)");
    }

private:
    std::size_t Left() const { return m_file.size() - m_pos; }
    std::uint32_t Little(std::size_t at, int count) const {
        return LittleEndian(m_file, at, count);
    }
    template <std::size_t N>
    bool Starts(const std::uint8_t (&bytes)[N]) const {
        if (Left() < N) {
            return false;
        }
        for (std::size_t i = 0; i < N; ++i) {
            if (m_file[m_pos + i] != bytes[i]) {
                return false;
            }
        }
        return true;
    }
    CPrintFileFault Fault(std::string reason) const { return {m_pos, std::move(reason)}; }

    // 01 wL wH hL hH 31 and the raster; `length` is what the record says is left.
    std::optional<CPrintFileFault> Image(std::size_t length, CRaster& raster) {
        if (length < kImageHeader || Left() < kImageHeader) {
            return Fault("the image header is cut short");
        }
        if (m_file[m_pos] != 0x01 || m_file[m_pos + 5] != kColourOne) {
            return Fault("the image header is not 01 wL wH hL hH 31");
        }
        raster.m_nWidth = static_cast<int>(Little(m_pos + 1, 2));
        raster.m_nHeight = static_cast<int>(Little(m_pos + 3, 2));
        if (raster.m_nWidth == 0 || raster.m_nHeight == 0) {
            return Fault("the image has no dots (" + std::to_string(raster.m_nWidth) + " x " +
                         std::to_string(raster.m_nHeight) + ")");
        }
        const std::size_t rasterBytes = static_cast<std::size_t>(raster.BytesPerRow()) *
                                        static_cast<std::size_t>(raster.m_nHeight);
        if (length - kImageHeader != rasterBytes) {
            return Fault("a " + std::to_string(raster.m_nWidth) + " x " +
                         std::to_string(raster.m_nHeight) + " image needs " +
                         std::to_string(rasterBytes) + " raster bytes, the record holds " +
                         std::to_string(length - kImageHeader));
        }
        if (Left() - kImageHeader < rasterBytes) {
            return Fault("the file ends inside the image's " + std::to_string(rasterBytes) +
                         " raster bytes");
        }
        const auto first = m_file.begin() + static_cast<std::ptrdiff_t>(m_pos + kImageHeader);
        raster.m_Bytes.assign(first, first + static_cast<std::ptrdiff_t>(rasterBytes));
        m_pos += kImageHeader + rasterBytes;
        return std::nullopt;
    }

    std::optional<CPrintFileFault> KeyCodeRecord() {
        if (!Starts(kKeyCodeStart)) {
            return Fault("a key-code record must begin with 1D 28 4C");
        }
        if (Left() < 5 + kKeyCodeFixed) {
            return Fault("the file ends inside a key-code record's header");
        }
        CPrintFileImage image;
        image.m_nOffset = m_pos;
        const std::size_t parameters = Little(m_pos + 3, 2);
        image.m_nBytes = 5 + parameters;
        m_pos += 5;
        if (!Starts(kKeyCodeDefine)) {
            return Fault("a key-code record must define an image (30 43 30)");
        }
        if (parameters < kKeyCodeFixed) {
            return Fault("the record's length " + std::to_string(parameters) +
                         " is shorter than its header");
        }
        image.m_strAddress.push_back(static_cast<char>(m_file[m_pos + 3]));
        image.m_strAddress.push_back(static_cast<char>(m_file[m_pos + 4]));
        m_pos += 5;
        if (auto fault = Image(parameters - 5, image.m_Raster)) {
            return fault;
        }
        m_contents.m_Images.push_back(std::move(image));
        return std::nullopt;
    }

    std::optional<CPrintFileFault> IndexedDownload() {
        if (Left() < kIndexedHeader) {
            return Fault("the file ends inside the indexed download header");
        }
        const std::uint64_t following = Little(m_pos + 3, 4);
        if (m_file[m_pos + 7] != 0x43) {
            return {
                CPrintFileFault{m_pos + 7, "the download header is not 08 5E 37 L0 L1 L2 L3 43 n"}};
        }
        if (following != m_file.size() - 7) {
            return Fault("the header counts " + std::to_string(following) +
                         " bytes after its count, the file holds " +
                         std::to_string(m_file.size() - 7));
        }
        const int count = m_file[m_pos + 8];
        m_pos += kIndexedHeader;
        for (int index = 0; index < count; ++index) {
            CPrintFileImage image;
            image.m_nIndex = index;
            image.m_nOffset = m_pos;
            if (Left() < kImageHeader) {
                return Fault("the header announces " + std::to_string(count) +
                             " images, the file ends after " + std::to_string(index));
            }
            const CRaster size{
                static_cast<int>(Little(m_pos + 1, 2)), static_cast<int>(Little(m_pos + 3, 2)), {}};
            const std::size_t length = kImageHeader + static_cast<std::size_t>(size.BytesPerRow()) *
                                                          static_cast<std::size_t>(size.m_nHeight);
            image.m_nBytes = length;
            if (auto fault = Image(length, image.m_Raster)) {
                return fault;
            }
            m_contents.m_Images.push_back(std::move(image));
        }
        if (Left() != 0) {
            return Fault(std::to_string(Left()) + " bytes follow the last of the " +
                         std::to_string(count) + " images the header announces");
        }
        return std::nullopt;
    }

    std::span<const std::uint8_t> m_file;
    CPrintFileContents& m_contents;
    std::size_t m_pos = 0;
};

}  // namespace

std::optional<CPrintFileFault> ReadPrintFile(std::span<const std::uint8_t> file,
                                             CPrintFileContents& contents) {
    contents = {};
    return CPrintFileParser(file, contents).Parse();
}

}  // namespace printdeck
