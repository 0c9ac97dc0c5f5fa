#include <gtest/gtest.h>

#include <QImage>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <random>

#include "BmpWriter.h"
#include "device/PrinterDevice.h"
#include "nvimage/NvImageList.h"
#include "nvimage/NvRaster.h"
#include "nvimage/QtBmpLoader.h"
#include "support/TempDir.h"

namespace printdeck {
namespace {

using test::BmpLayout;

constexpr std::uint32_t R = 0xFF0000, G = 0x00FF00, B = 0x0000FF, K = 0x000000, W = 0xFFFFFF,
                        Y = 0xFFFF00;
const std::vector<std::uint32_t> kPalette = {R, G, B, K, W, Y};
// The 3 x 2 picture most cases encode: top row red, green, blue; bottom row
// black, white, yellow.
const std::array<std::uint32_t, 6> kPicture = {R, G, B, K, W, Y};

struct BmpCase {
    const char* name;
    BmpLayout layout;
    std::array<std::uint32_t, 6> expected;  // top row first
};

void PrintTo(const BmpCase& c, std::ostream* os) {
    *os << c.name;
}

class QtBmpLoaderVariantTest : public ::testing::TestWithParam<BmpCase> {};

TEST_P(QtBmpLoaderVariantTest, DecodesToTopFirstRgb) {
    test::TempDir dir;
    const auto path = dir / "picture.bmp";
    test::WriteBytes(path, test::BmpBytes(GetParam().layout));

    CPicture picture;
    std::string fault;
    ASSERT_TRUE(CQtBmpLoader().Load(path.string(), picture, fault)) << fault;
    ASSERT_EQ(picture.m_Rows.m_nWidth, 3);
    ASSERT_EQ(picture.m_Rows.m_nHeight, 2);
    for (int i = 0; i < 6; ++i) {
        const CRgb colour = picture.m_Rows.At(i % 3, i / 3);
        const std::uint8_t pixel[] = {colour.red, colour.green, colour.blue};
        const std::uint32_t want = GetParam().expected[static_cast<std::size_t>(i)];
        // 5-bit channels widen to a little below 255 in some decoders.
        for (int c = 0; c < 3; ++c) {
            EXPECT_NEAR(pixel[c], (want >> (16 - 8 * c)) & 0xFF, 8)
                << "pixel " << i << " channel " << c;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Formats, QtBmpLoaderVariantTest,
    ::testing::Values(
        BmpCase{
            "Mono", {3, 2, 1, 0, {K, W}, {}, {0x20, 0, 0, 0, 0xA0, 0, 0, 0}}, {W, K, W, K, K, W}},
        BmpCase{
            "Palette4", {3, 2, 4, 0, kPalette, {}, {0x34, 0x50, 0, 0, 0x01, 0x20, 0, 0}}, kPicture},
        BmpCase{"Rle4",
                {3,
                 2,
                 4,
                 2,
                 kPalette,
                 {},
                 {0x02, 0x33, 0x01, 0x44, 0, 0, 0x00, 0x03, 0x01, 0x20, 0, 1}},
                {R, G, B, K, K, W}},
        BmpCase{"Palette8", {3, 2, 8, 0, kPalette, {}, {3, 4, 5, 0, 0, 1, 2, 0}}, kPicture},
        BmpCase{"Rle8",
                {3,
                 2,
                 8,
                 1,
                 kPalette,
                 {},
                 {0x02, 0x03, 0x01, 0x04, 0, 0, 0x00, 0x03, 0x00, 0x01, 0x02, 0x00, 0, 1}},
                {R, G, B, K, K, W}},
        BmpCase{"Rgb555",
                {3,
                 2,
                 16,
                 0,
                 {},
                 {},
                 {0, 0, 0xFF, 0x7F, 0xE0, 0x7F, 0, 0, 0x00, 0x7C, 0xE0, 0x03, 0x1F, 0, 0, 0}},
                kPicture},
        BmpCase{"BitFields565",
                {3,
                 2,
                 16,
                 3,
                 {},
                 {0xF800, 0x07E0, 0x001F},
                 {0, 0, 0xFF, 0xFF, 0xE0, 0xFF, 0, 0, 0x00, 0xF8, 0xE0, 0x07, 0x1F, 0, 0, 0}},
                kPicture},
        BmpCase{"Rgb24TopDown",
                {3, -2, 24, 0, {}, {}, {0, 0, 0xFF, 0,    0xFF, 0,    0xFF, 0,    0,    0, 0, 0,
                                        0, 0, 0,    0xFF, 0xFF, 0xFF, 0,    0xFF, 0xFF, 0, 0, 0}},
                kPicture},
        BmpCase{"Rgb32",
                {3, 2, 32, 0, {}, {}, {0, 0, 0,    0, 0xFF, 0xFF, 0xFF, 0, 0,    0xFF, 0xFF, 0,
                                       0, 0, 0xFF, 0, 0,    0xFF, 0,    0, 0xFF, 0,    0,    0}},
                kPicture}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(QtBmpLoaderTest, RefusesFilesThatAreNotReadableBmps) {
    test::TempDir dir;
    QImage png(4, 4, QImage::Format_RGB888);
    png.fill(Qt::black);
    ASSERT_TRUE(png.save(QString::fromStdString((dir / "png.bmp").string()), "PNG"));
    test::WriteBytes(dir / "text.bmp", "hello, this is no picture");
    test::WriteBytes(dir / "empty.bmp", "");
    const std::string header = test::BmpBytes({3, 2, 24, 0, {}, {}, {}});
    test::WriteBytes(dir / "cut-header.bmp", header.substr(0, 20));

    for (const char* name : {"png.bmp", "text.bmp", "empty.bmp", "cut-header.bmp", "missing.bmp"}) {
        CPicture picture;
        std::string fault;
        EXPECT_FALSE(CQtBmpLoader().Load((dir / name).string(), picture, fault)) << name;
        EXPECT_FALSE(fault.empty()) << name;
    }
}

std::string WithPixelOffset(std::string file, std::uint32_t offset) {
    for (int i = 0; i < 4; ++i) {
        file[10 + static_cast<std::size_t>(i)] = static_cast<char>(offset >> (8 * i));
    }
    return file;
}

// Damaged and oversized files are refused with the reason, before Qt decodes
// them from memory that the file never filled.
TEST(QtBmpLoaderTest, RefusesDamagedFilesSayingWhy) {
    const std::vector<std::uint8_t> rgb24(24, 0x40);
    const struct {
        const char* name;
        std::string file;
        const char* reason;
    } rows[] = {
        {"pixel data beyond the end",
         WithPixelOffset(test::BmpBytes({3, 2, 24, 0, {}, {}, rgb24}), 4000), "beyond the end"},
        {"truncated rows",
         test::BmpBytes({3, 2, 24, 0, {}, {}, {rgb24.begin(), rgb24.begin() + 20}}), "truncated"},
        {"run overflows its row", test::BmpBytes({3, 2, 8, 1, kPalette, {}, {4, 1, 0, 0, 0, 1}}),
         "overflows row 2"},
        {"literal run overflows its row",
         test::BmpBytes({3, 2, 4, 2, kPalette, {}, {0, 4, 0x12, 0x34, 0, 1}}), "overflows row 2"},
        {"run-length data without end mark",
         test::BmpBytes({3, 2, 8, 1, kPalette, {}, {3, 1, 0, 0, 3, 2}}), "before its end mark"},
        {"run-length literal cut short", test::BmpBytes({3, 2, 8, 1, kPalette, {}, {0, 3, 1, 2}}),
         "inside a run"},
        {"runs past the last row",
         test::BmpBytes({3, 1, 8, 1, kPalette, {}, {3, 1, 0, 0, 3, 1, 0, 1}}), "past the last row"},
        {"jump outside the image", test::BmpBytes({3, 2, 8, 1, kPalette, {}, {0, 2, 5, 0, 0, 1}}),
         "outside the image"},
        {"over 50 megapixels", test::BmpBytes({8000, -7000, 24, 0, {}, {}, {0, 0}}),
         "8000 x 7000 pixels (56.0 megapixels)"},
        {"terabytes of pixels", test::BmpBytes({1000000, 1000000, 8, 1, kPalette, {}, {0, 1}}),
         "1000000 x 1000000 pixels"},
        {"no pixels", test::BmpBytes({0, 2, 24, 0, {}, {}, rgb24}), "no pixels"},
        {"unknown depth", test::BmpBytes({3, 2, 7, 0, {}, {}, rgb24}), "7 bits per pixel"},
        {"run-length with 24 bits", test::BmpBytes({3, 2, 24, 1, {}, {}, rgb24}), "compression 1"},
    };
    test::TempDir dir;
    for (const auto& row : rows) {
        CPicture picture;
        std::string fault;
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(row.file.data());
        EXPECT_FALSE(CQtBmpLoader::LoadBytes({bytes, row.file.size()}, picture, fault)) << row.name;
        EXPECT_NE(fault.find(row.reason), std::string::npos) << row.name << ": " << fault;
        // A file on disk is checked from its headers and size before decoding.
        test::WriteBytes(dir / "damaged.bmp", row.file);
        fault.clear();
        EXPECT_FALSE(CQtBmpLoader().Load((dir / "damaged.bmp").string(), picture, fault))
            << row.name;
        EXPECT_NE(fault.find(row.reason), std::string::npos) << row.name << ": " << fault;
    }
}

// Run-length data may end rows early, jump, or stop before the last row; the
// pixels it skips are palette entry 0 on every run, never leftover memory
// (run the suite under Valgrind to see the difference).
TEST(QtBmpLoaderTest, PixelsThatRunLengthDataSkipsAreBackground) {
    const struct {
        const char* name;
        BmpLayout layout;
    } rows[] = {
        {"rows ended at once", {3, 2, 8, 1, kPalette, {}, {0, 0, 0, 0, 0, 1}}},
        {"jump over the rest", {3, 2, 8, 1, kPalette, {}, {1, 3, 0, 2, 1, 1, 0, 1}}},
        {"end mark first", {3, 2, 8, 1, kPalette, {}, {1, 3, 0, 1}}},
        {"four bits, end mark first", {3, 2, 4, 2, kPalette, {}, {1, 0x33, 0, 1}}},
    };
    for (const auto& row : rows) {
        const std::string file = test::BmpBytes(row.layout);
        CPicture picture;
        std::string fault;
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(file.data());
        ASSERT_TRUE(CQtBmpLoader::LoadBytes({bytes, file.size()}, picture, fault)) << row.name;
        for (int i = 0; i < 6; ++i) {
            const CRgb colour = picture.m_Rows.At(i % 3, i / 3);
            const std::uint8_t pixel[] = {colour.red, colour.green, colour.blue};
            // Only the first run (black, bottom left) is painted where it is given.
            const bool painted = i == 3 && row.layout.pixelData[0] == 1;
            const std::uint32_t want = painted ? K : R;
            const std::uint32_t got = (pixel[0] << 16) | (pixel[1] << 8) | pixel[2];
            EXPECT_EQ(got, want) << row.name << ", pixel " << i;
        }
    }
}

// Channel values on both sides of the white threshold, so the dots vary.
std::uint8_t MixedChannel(std::mt19937& random) {
    static constexpr std::uint8_t kLevels[] = {0, 90, 200, 225, 226, 240, 255, 255};
    return kLevels[random() % std::size(kLevels)];
}

// A picture of mixed colours in the given layout, rows padded to four bytes.
test::BmpLayout MixedPicture(int width, int height, int bits, int compression,
                             std::mt19937& random) {
    test::BmpLayout layout{width, height, bits, compression, {}, {}, {}};
    if (bits <= 8) {
        for (int i = 0; i < (1 << bits); ++i) {
            layout.palette.push_back(static_cast<std::uint32_t>(MixedChannel(random)) << 16 |
                                     MixedChannel(random) << 8 | MixedChannel(random));
        }
    }
    if (compression == 3) {
        layout.masks = {0xF800, 0x07E0, 0x001F};
    }
    const std::size_t rowBytes = (static_cast<std::size_t>(width) * bits + 31) / 32 * 4;
    layout.pixelData.resize(rowBytes * static_cast<std::size_t>(std::abs(height)));
    for (std::uint8_t& byte : layout.pixelData) {
        byte = bits >= 24 ? MixedChannel(random) : static_cast<std::uint8_t>(random());
    }
    return layout;
}

// The decoder's rows are read in place in their own format; the raster must
// be the one made from a copy widened to three bytes per pixel, byte for byte.
TEST(QtBmpLoaderTest, ConversionInPlaceEqualsConversionOfAnRgbCopy) {
    std::mt19937 random(2026);
    test::TempDir dir;
    const struct {
        const char* name;
        test::BmpLayout layout;
    } rows[] = {
        {"24 bits, wide", MixedPicture(1001, 37, 24, 0, random)},
        {"24 bits, logo", MixedPicture(300, 120, 24, 0, random)},
        {"24 bits, top down, just too wide", MixedPicture(577, -9, 24, 0, random)},
        {"32 bits", MixedPicture(600, 21, 32, 0, random)},
        {"16 bits 565", MixedPicture(620, 17, 16, 3, random)},
        {"16 bits 555", MixedPicture(390, 13, 16, 0, random)},
        {"8 bits", MixedPicture(650, 30, 8, 0, random)},
        {"4 bits", MixedPicture(385, 11, 4, 0, random)},
        {"1 bit", MixedPicture(900, 10, 1, 0, random)},
    };
    std::vector<std::pair<std::string, std::string>> files;
    for (const auto& row : rows) {
        files.emplace_back(row.name, test::BmpBytes(row.layout));
    }
    // Qt writes pictures with an alpha channel as 32 bits with an alpha mask.
    QImage translucent(700, 15, QImage::Format_ARGB32);
    for (int y = 0; y < translucent.height(); ++y) {
        for (int x = 0; x < translucent.width(); ++x) {
            translucent.setPixel(x, y,
                                 qRgba(MixedChannel(random), MixedChannel(random),
                                       MixedChannel(random), MixedChannel(random)));
        }
    }
    ASSERT_TRUE(translucent.save(QString::fromStdString((dir / "alpha.bmp").string()), "BMP"));
    files.emplace_back("32 bits with alpha", test::ReadWholeFile(dir / "alpha.bmp"));

    for (const auto& [name, bytes] : files) {
        SCOPED_TRACE(name);
        const auto path = dir / "picture.bmp";
        test::WriteBytes(path, bytes);
        CPicture picture;
        std::string fault;
        ASSERT_TRUE(CQtBmpLoader().Load(path.string(), picture, fault)) << fault;
        const bool deep = static_cast<std::uint8_t>(bytes[28]) >= 16;
        EXPECT_EQ(picture.m_Rows.m_Format, deep ? PixelFormat::Rgb32 : PixelFormat::Rgb888);
        const QImage copy = QImage(QString::fromStdString(path.string()), "BMP")
                                .convertToFormat(QImage::Format_RGB888);
        CBitmap widened(copy.width(), copy.height());
        for (int y = 0; y < copy.height(); ++y) {
            std::copy_n(copy.constScanLine(y), copy.width() * 3, widened.Pixel(0, y));
        }
        for (const int maxWidth : {576, 384}) {
            for (const int brightness : {0, 40, 100}) {
                const CRaster inPlace = MakeRaster(picture.m_Rows, maxWidth, brightness);
                const CRaster reference = MakeRaster(widened, maxWidth, brightness);
                EXPECT_EQ(inPlace.m_nWidth, reference.m_nWidth);
                EXPECT_EQ(inPlace.m_nHeight, reference.m_nHeight);
                EXPECT_EQ(inPlace.m_Bytes, reference.m_Bytes)
                    << maxWidth << " dots, " << brightness;
            }
        }
    }
}

// A whole run from a file on disk to the framed record.
class BmpToRecordTest : public ::testing::Test {
protected:
    void SetUp() override {
        QImage image(1000, 500, QImage::Format_RGB888);
        image.fill(Qt::black);
        ASSERT_TRUE(image.save(QString::fromStdString(m_path), "BMP"));
        m_list.SetBitmapLoader(&m_loader);
        m_list.m_pDevice = &m_device;
        m_device.g_Model = MODEL_T300;
        ASSERT_TRUE(m_list.LoadEntry(1, m_path, 0, m_image).Ok());
    }

    test::TempDir m_dir;
    std::string m_path = (m_dir / "wide.bmp").string();
    CQtBmpLoader m_loader;
    CPrinterDevice m_device;
    CNvImageList m_list;
    CNvImage m_image;
};

TEST_F(BmpToRecordTest, KeyCodeRecordOfWideImage) {
    ASSERT_TRUE(m_list.MakeKeyCodeRecord(m_image, "AB").Ok());
    ASSERT_EQ(m_list.m_DownloadQueue.size(), 1u);
    const CNvDownloadRecord& record = m_list.m_DownloadQueue.front();
    EXPECT_EQ(record.m_strName, "wide.bmp");
    ASSERT_EQ(record.Length(), 20752u);
    const std::vector<std::uint8_t> header(record.m_Data.begin(), record.m_Data.begin() + 16);
    EXPECT_EQ(header, (std::vector<std::uint8_t>{0x1D, 0x28, 0x4C, 0x0B, 0x51, 0x30, 0x43, 0x30,
                                                 'A', 'B', 0x01, 0x40, 0x02, 0x20, 0x01, 0x31}));
    EXPECT_TRUE(std::all_of(record.m_Data.begin() + 16, record.m_Data.end(),
                            [](std::uint8_t byte) { return byte == 0xFF; }));
}

TEST_F(BmpToRecordTest, IndexedBlockStaysAt384DotsOnWideModel) {
    m_device.g_Getver = SW_DIALECT_FIRST;
    ASSERT_TRUE(m_list.MakeIndexedRecord(m_image).Ok());
    const CNvDownloadRecord& record = m_list.m_DownloadQueue.front();
    ASSERT_EQ(record.Length(), 6u + 48u * 192u);
    EXPECT_EQ(std::vector<std::uint8_t>(record.m_Data.begin(), record.m_Data.begin() + 6),
              (std::vector<std::uint8_t>{0x01, 0x80, 0x01, 0xC0, 0x00, 0x31}));
}

}  // namespace
}  // namespace printdeck
