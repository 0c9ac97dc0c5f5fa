#include "nvimage/QtBmpLoader.h"

#include <QBuffer>
#include <QByteArray>
#include <QFile>
#include <QImage>
#include <QImageReader>

#include <memory>

#include "nvimage/BmpCheck.h"

namespace printdeck {

namespace {

// The largest decoded picture: kMaxBmpPixels at four bytes per pixel, in MiB.
constexpr int kAllocationLimitMb = static_cast<int>(kMaxBmpPixels * 4 / (1024 * 1024)) + 1;
// No BMP within the pixel limit is larger: 32 bits per pixel plus headers.
constexpr qint64 kMaxFileBytes = static_cast<qint64>(kMaxBmpPixels) * 4 + 65536;

bool Refuse(std::string& fault, std::string reason) {
    fault = std::move(reason);
    return false;
}

// Qt's own layout of 16-, 24- and 32-bit pictures is read in place; the rare
// others are widened to three bytes per pixel first.
CPicture PictureOf(QImage image) {
    const QImage::Format format = image.format();
    const bool inPlace = format == QImage::Format_RGB32 || format == QImage::Format_ARGB32;
    if (!inPlace) {
        image.convertTo(QImage::Format_RGB888);
    }
    if (image.isNull()) {
        return {};
    }
    auto kept = std::make_shared<const QImage>(std::move(image));
    CPicture picture;
    picture.m_Rows = CPixelRows(kept->width(), kept->height(),
                                inPlace ? PixelFormat::Rgb32 : PixelFormat::Rgb888,
                                kept->constBits(), static_cast<std::size_t>(kept->bytesPerLine()));
    picture.m_pKeeper = std::move(kept);
    return picture;
}

// Decodes the BMP that device holds from its start; its headers have passed
// the checks.
bool Decode(QIODevice& device, bool runLength, CPicture& picture, std::string& fault) {
    QImageReader reader(&device, "bmp");
    reader.setDecideFormatFromContent(false);
    reader.setAllocationLimit(kAllocationLimitMb);
    // Run-length data may skip pixels, which Qt leaves as it found them: give
    // it a picture of background (palette entry 0) to decode into.
    QImage image;
    if (runLength) {
        image = QImage(reader.size(), QImage::Format_Indexed8);
        image.fill(0);
    }
    if (!reader.read(&image) || image.isNull() || image.width() <= 0 || image.height() <= 0) {
        return Refuse(fault, "The file does not decode as a BMP picture.");
    }
    picture = PictureOf(std::move(image));
    if (picture.m_pKeeper == nullptr) {
        return Refuse(fault, "There is not enough memory to convert the picture.");
    }
    return true;
}

bool ReadFailed(const QFile& file, std::string& fault) {
    return Refuse(fault, "The file cannot be read: " + file.errorString().toStdString() + ".");
}

}  // namespace

// Only run-length files, whose every run must be walked, are read whole;
// the others are decoded straight from the file, so the picture is the only
// large thing in memory.
bool CQtBmpLoader::Load(const std::string& path, CPicture& picture, std::string& fault) {
    QFile file(QFile::decodeName(QByteArray::fromStdString(path)));
    if (!file.open(QIODevice::ReadOnly)) {
        return ReadFailed(file, fault);
    }
    if (file.size() > kMaxFileBytes) {
        return Refuse(fault, "The file is larger than any BMP within the size limit.");
    }
    const QByteArray head = file.peek(static_cast<qint64>(kBmpHeadBytes));
    const std::span<const std::uint8_t> headBytes(
        reinterpret_cast<const std::uint8_t*>(head.constData()),
        static_cast<std::size_t>(head.size()));
    if (file.error() != QFileDevice::NoError) {
        return ReadFailed(file, fault);
    }
    if (auto reason = FindBmpHeaderFault(headBytes, static_cast<std::uint64_t>(file.size()))) {
        return Refuse(fault, std::move(*reason));
    }
    if (!IsRunLengthBmp(headBytes)) {
        return Decode(file, false, picture, fault);
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        return ReadFailed(file, fault);
    }
    return LoadBytes({reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                      static_cast<std::size_t>(bytes.size())},
                     picture, fault);
}

bool CQtBmpLoader::LoadBytes(std::span<const std::uint8_t> file, CPicture& picture,
                             std::string& fault) {
    if (auto reason = FindBmpFault(file)) {
        return Refuse(fault, std::move(*reason));
    }
    QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(file.data()),
                                               static_cast<qsizetype>(file.size()));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    return Decode(buffer, IsRunLengthBmp(file), picture, fault);
}

}  // namespace printdeck
