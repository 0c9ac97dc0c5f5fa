#include "nvimage/BmpCheck.h"

#include <cstdio>
#include <cstdlib>

#include "nvimage/LittleEndian.h"

namespace printdeck {

namespace {

constexpr std::size_t kFileHeaderSize = 14;
constexpr std::uint32_t kCoreHeaderSize = 12;
constexpr std::uint32_t kRgb = 0, kRle8 = 1, kRle4 = 2, kBitFields = 3;

std::string Format(const char* format, auto... arguments) {
    char text[200];
    std::snprintf(text, sizeof text, format, arguments...);
    return text;
}

struct BmpLayout {
    std::int64_t width = 0;
    std::int64_t height = 0;  // rows, whatever their order
    std::uint32_t bitsPerPixel = 0;
    std::uint32_t compression = kRgb;
    std::uint32_t pixelOffset = 0;
};

bool IsKnownHeaderSize(std::uint32_t size) {
    switch (size) {
        case 12:
        case 16:
        case 40:
        case 52:
        case 56:
        case 64:
        case 108:
        case 124:
            return true;
        default:
            return false;
    }
}

std::optional<std::string> ReadLayout(std::span<const std::uint8_t> file, BmpLayout& layout) {
    if (file.size() < kFileHeaderSize + 4 || file[0] != 'B' || file[1] != 'M') {
        return "The file is not a BMP file.";
    }
    const std::uint32_t headerSize = LittleEndian(file, kFileHeaderSize, 4);
    if (!IsKnownHeaderSize(headerSize)) {
        return Format("The BMP header has an unknown size (%u bytes).", headerSize);
    }
    if (file.size() < kFileHeaderSize + headerSize) {
        return "The file ends inside its BMP header.";
    }
    layout.pixelOffset = LittleEndian(file, 10, 4);
    if (headerSize == kCoreHeaderSize) {
        layout.width = LittleEndian(file, 18, 2);
        layout.height = LittleEndian(file, 20, 2);
        layout.bitsPerPixel = LittleEndian(file, 24, 2);
        return std::nullopt;
    }
    layout.width = static_cast<std::int32_t>(LittleEndian(file, 18, 4));
    layout.height = std::llabs(static_cast<std::int32_t>(LittleEndian(file, 22, 4)));
    layout.bitsPerPixel = LittleEndian(file, 28, 2);
    layout.compression = headerSize >= 20 ? LittleEndian(file, 30, 4) : kRgb;
    return std::nullopt;
}

std::optional<std::string> CheckSize(const BmpLayout& layout) {
    if (layout.width <= 0 || layout.height <= 0) {
        return Format("The image has no pixels (%lld x %lld).",
                      static_cast<long long>(layout.width), static_cast<long long>(layout.height));
    }
    const std::uint64_t pixels =
        static_cast<std::uint64_t>(layout.width) * static_cast<std::uint64_t>(layout.height);
    if (pixels > kMaxBmpPixels) {
        return Format(
            "The image is %lld x %lld pixels (%.1f megapixels); images over %llu "
            "megapixels are refused.",
            static_cast<long long>(layout.width), static_cast<long long>(layout.height),
            static_cast<double>(pixels) / 1e6,
            static_cast<unsigned long long>(kMaxBmpPixels / 1'000'000));
    }
    return std::nullopt;
}

std::optional<std::string> CheckFormat(const BmpLayout& layout) {
    const std::uint32_t bits = layout.bitsPerPixel;
    const bool known =
        bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
    if (!known) {
        return Format("The BMP has %u bits per pixel; 1, 4, 8, 16, 24 and 32 are readable.", bits);
    }
    const bool fits = layout.compression == kRgb || (layout.compression == kRle8 && bits == 8) ||
                      (layout.compression == kRle4 && bits == 4) ||
                      (layout.compression == kBitFields && (bits == 16 || bits == 32));
    if (!fits) {
        return Format("The BMP uses compression %u with %u bits per pixel, which is not readable.",
                      layout.compression, bits);
    }
    return std::nullopt;
}

// Uncompressed rows: every pixel of every row must lie inside the file (the
// last row may lack its padding).
std::optional<std::string> CheckRows(const BmpLayout& layout, std::uint64_t pixelBytes) {
    const std::uint64_t rowBits = static_cast<std::uint64_t>(layout.width) * layout.bitsPerPixel;
    const std::uint64_t rowBytes = (rowBits + 31) / 32 * 4;
    const std::uint64_t needed =
        rowBytes * static_cast<std::uint64_t>(layout.height - 1) + (rowBits + 7) / 8;
    if (needed > pixelBytes) {
        return Format(
            "The file is truncated: its pixel data needs %llu bytes, but only %llu "
            "follow the headers.",
            static_cast<unsigned long long>(needed), static_cast<unsigned long long>(pixelBytes));
    }
    return std::nullopt;
}

// Walks run-length data without decoding it. Rows count from the bottom.
class CRleWalk {
public:
    CRleWalk(const BmpLayout& layout, std::span<const std::uint8_t> data)
        : m_layout(layout), m_data(data) {}

    std::optional<std::string> Run() {
        while (true) {
            if (!Has(2)) {
                return "The file is truncated: its run-length data ends before its end mark.";
            }
            const std::uint8_t count = m_data[m_pos];
            const std::uint8_t code = m_data[m_pos + 1];
            m_pos += 2;
            if (count > 0) {
                if (auto fault = Advance(count)) {
                    return fault;
                }
                continue;
            }
            if (code == 1) {
                return std::nullopt;  // end of the picture
            }
            if (auto fault = code == 0 ? NextRow() : code == 2 ? Jump() : Literal(code)) {
                return fault;
            }
        }
    }

private:
    bool Has(std::size_t bytes) const { return m_data.size() - m_pos >= bytes; }

    std::optional<std::string> Advance(std::int64_t pixels) {
        if (m_y >= m_layout.height) {
            return "The run-length data goes on past the last row.";
        }
        if (m_x + pixels > m_layout.width) {
            return Format("A run-length run overflows row %lld of the image.",
                          static_cast<long long>(m_layout.height - m_y));
        }
        m_x += pixels;
        return std::nullopt;
    }

    std::optional<std::string> NextRow() {
        m_x = 0;
        ++m_y;
        return std::nullopt;
    }

    std::optional<std::string> Jump() {
        if (!Has(2)) {
            return "The file is truncated: its run-length data ends inside a jump.";
        }
        m_x += m_data[m_pos];
        m_y += m_data[m_pos + 1];
        m_pos += 2;
        if (m_x > m_layout.width || m_y > m_layout.height) {
            return "A run-length jump leads outside the image.";
        }
        return std::nullopt;
    }

    // Pixels stored as they are, padded to an even number of bytes.
    std::optional<std::string> Literal(std::uint8_t pixels) {
        std::size_t bytes = m_layout.compression == kRle8 ? pixels : (pixels + 1u) / 2;
        bytes += bytes % 2;
        if (!Has(bytes)) {
            return "The file is truncated: its run-length data ends inside a run.";
        }
        m_pos += bytes;
        return Advance(pixels);
    }

    const BmpLayout& m_layout;
    std::span<const std::uint8_t> m_data;
    std::size_t m_pos = 0;
    std::int64_t m_x = 0;
    std::int64_t m_y = 0;
};

}  // namespace

bool IsRunLengthBmp(std::span<const std::uint8_t> file) {
    BmpLayout layout;
    return !ReadLayout(file, layout) &&
           (layout.compression == kRle8 || layout.compression == kRle4);
}

std::optional<std::string> FindBmpHeaderFault(std::span<const std::uint8_t> head,
                                              std::uint64_t fileSize) {
    BmpLayout layout;
    if (auto fault = ReadLayout(head, layout)) {
        return fault;
    }
    if (auto fault = CheckSize(layout)) {
        return fault;
    }
    if (auto fault = CheckFormat(layout)) {
        return fault;
    }
    if (layout.pixelOffset >= fileSize) {
        return Format(
            "The pixel data would start at byte %u, beyond the end of the file (%llu "
            "bytes).",
            layout.pixelOffset, static_cast<unsigned long long>(fileSize));
    }
    if (layout.compression == kRle8 || layout.compression == kRle4) {
        return std::nullopt;
    }
    return CheckRows(layout, fileSize - layout.pixelOffset);
}

std::optional<std::string> FindBmpFault(std::span<const std::uint8_t> file) {
    if (auto fault = FindBmpHeaderFault(file, file.size())) {
        return fault;
    }
    BmpLayout layout;
    ReadLayout(file, layout);
    if (layout.compression == kRle8 || layout.compression == kRle4) {
        return CRleWalk(layout, file.subspan(layout.pixelOffset)).Run();
    }
    return std::nullopt;
}

}  // namespace printdeck
