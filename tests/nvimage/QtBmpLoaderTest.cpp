#include <gtest/gtest.h>

#include <QImage>

#include <array>
#include <cstdlib>

#include "BmpWriter.h"
#include "device/PrinterDevice.h"
#include "nvimage/NvImageList.h"
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

    CBitmap bitmap;
    ASSERT_TRUE(CQtBmpLoader().Load(path.string(), bitmap));
    ASSERT_EQ(bitmap.m_nWidth, 3);
    ASSERT_EQ(bitmap.m_nHeight, 2);
    for (int i = 0; i < 6; ++i) {
        const std::uint8_t* pixel = bitmap.Pixel(i % 3, i / 3);
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
    // Dimensions whose pixels would need terabytes.
    test::WriteBytes(dir / "huge.bmp", test::BmpBytes({1000000, 1000000, 24, 0, {}, {}, {0, 0}}));

    for (const char* name :
         {"png.bmp", "text.bmp", "empty.bmp", "cut-header.bmp", "huge.bmp", "missing.bmp"}) {
        CBitmap bitmap;
        EXPECT_FALSE(CQtBmpLoader().Load((dir / name).string(), bitmap)) << name;
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
        ASSERT_EQ(m_list.LoadEntry(1, m_path, 0, m_image), RC_OK);
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
