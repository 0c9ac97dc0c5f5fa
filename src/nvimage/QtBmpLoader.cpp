#include "nvimage/QtBmpLoader.h"

#include <QBuffer>
#include <QByteArray>
#include <QFile>
#include <QImage>
#include <QImageReader>

#include <cstring>

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

}  // namespace

bool CQtBmpLoader::Load(const std::string& path, CBitmap& bitmap, std::string& fault) {
    QFile file(QFile::decodeName(QByteArray::fromStdString(path)));
    if (!file.open(QIODevice::ReadOnly)) {
        return Refuse(fault, "The file cannot be read: " + file.errorString().toStdString() + ".");
    }
    if (file.size() > kMaxFileBytes) {
        return Refuse(fault, "The file is larger than any BMP within the size limit.");
    }
    const QByteArray bytes = file.read(file.size());
    if (file.error() != QFileDevice::NoError) {
        return Refuse(fault, "The file cannot be read: " + file.errorString().toStdString() + ".");
    }
    return LoadBytes({reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                      static_cast<std::size_t>(bytes.size())},
                     bitmap, fault);
}

bool CQtBmpLoader::LoadBytes(std::span<const std::uint8_t> file, CBitmap& bitmap,
                             std::string& fault) {
    if (auto reason = FindBmpFault(file)) {
        return Refuse(fault, std::move(*reason));
    }
    QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(file.data()),
                                               static_cast<qsizetype>(file.size()));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "bmp");
    reader.setDecideFormatFromContent(false);
    reader.setAllocationLimit(kAllocationLimitMb);
    // Run-length data may skip pixels, which Qt leaves as it found them: give
    // it a picture of background (palette entry 0) to decode into.
    QImage image;
    if (IsRunLengthBmp(file)) {
        image = QImage(reader.size(), QImage::Format_Indexed8);
        image.fill(0);
    }
    if (!reader.read(&image) || image.isNull() || image.width() <= 0 || image.height() <= 0) {
        return Refuse(fault, "The file does not decode as a BMP picture.");
    }
    image.convertTo(QImage::Format_RGB888);
    if (image.isNull()) {
        return Refuse(fault, "There is not enough memory to convert the picture.");
    }
    bitmap = CBitmap(image.width(), image.height());
    const std::size_t rowBytes = static_cast<std::size_t>(image.width()) * 3;
    for (int y = 0; y < image.height(); ++y) {
        std::memcpy(bitmap.Pixel(0, y), image.constScanLine(y), rowBytes);
    }
    return true;
}

}  // namespace printdeck
