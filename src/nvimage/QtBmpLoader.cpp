#include "nvimage/QtBmpLoader.h"

#include <QByteArray>
#include <QFile>
#include <QImage>
#include <QImageReader>

#include <cstring>

namespace printdeck {

bool CQtBmpLoader::Load(const std::string& path, CBitmap& bitmap) {
    QImageReader reader(QFile::decodeName(QByteArray::fromStdString(path)), "bmp");
    reader.setDecideFormatFromContent(false);
    QImage image;
    if (!reader.read(&image) || image.isNull() || image.width() <= 0 || image.height() <= 0) {
        return false;
    }
    image.convertTo(QImage::Format_RGB888);
    if (image.isNull()) {
        return false;
    }
    bitmap = CBitmap(image.width(), image.height());
    const std::size_t rowBytes = static_cast<std::size_t>(image.width()) * 3;
    for (int y = 0; y < image.height(); ++y) {
        std::memcpy(bitmap.Pixel(0, y), image.constScanLine(y), rowBytes);
    }
    return true;
}

}  // namespace printdeck
