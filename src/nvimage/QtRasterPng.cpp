#include "nvimage/QtRasterPng.h"

#include <QFile>
#include <QImage>
#include <QImageWriter>

#include <cstring>

namespace printdeck {

bool WriteRasterPng(const CRaster& raster, const std::string& path, std::string& fault) {
    if (raster.m_nWidth <= 0 || raster.m_nHeight <= 0) {
        fault = "the image has no dots";
        return false;
    }
    // Both are one bit per dot, leftmost dot in the top bit.
    QImage image(raster.m_nWidth, raster.m_nHeight, QImage::Format_Mono);
    image.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
    const auto rowBytes = static_cast<std::size_t>(raster.BytesPerRow());
    for (int y = 0; y < raster.m_nHeight; ++y) {
        std::memcpy(image.scanLine(y),
                    raster.m_Bytes.data() + rowBytes * static_cast<std::size_t>(y), rowBytes);
    }
    QImageWriter writer(QFile::decodeName(QByteArray::fromStdString(path)), "png");
    if (!writer.write(image)) {
        fault = writer.errorString().toStdString();
        return false;
    }
    return true;
}

}  // namespace printdeck
