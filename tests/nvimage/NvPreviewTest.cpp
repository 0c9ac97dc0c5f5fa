#include <gtest/gtest.h>

#include "FakeBitmapLoader.h"
#include "nvimage/NvPreview.h"

namespace printdeck {
namespace {

using test::SolidBitmap;

TEST(NvPreviewTest, SizeFillsTheFrameOrTakesItsShareOfThePaper) {
    const struct {
        int frame, width, height, previewWidth, previewHeight;
    } rows[] = {
        {204, 300, 150, 204, 102},
        {204, 204, 7, 204, 7},
        // 204 x 150 / 384 = 79.7; 100 x 79 / 150 = 52.7.
        {204, 150, 100, 79, 52},
        {204, 2000, 1, 204, 0},
        // A frame wider than the paper enlarges narrow images.
        {500, 192, 10, 250, 13},
        {0, 150, 100, 0, 0},
        {204, 0, 100, 0, 0},
    };
    for (const auto& row : rows) {
        const CImageSize size = PreviewSize(row.frame, row.width, row.height);
        EXPECT_EQ(size.m_nWidth, row.previewWidth) << row.frame << " " << row.width;
        EXPECT_EQ(size.m_nHeight, row.previewHeight) << row.frame << " " << row.width;
    }
}

TEST(NvPreviewTest, BrightnessLightensEveryChannelUpToWhite) {
    const struct {
        int brightness;
        std::uint8_t red, green, blue;
    } rows[] = {
        {0, 0, 100, 200},
        // 50 x 2.55 is just below 127.5.
        {50, 127, 227, 255},
        // 100 x 2.55 is just below 255.
        {100, 254, 255, 255},
    };
    const CBitmap bitmap = SolidBitmap(150, 30, 0, 100, 200);
    for (const auto& row : rows) {
        const CBitmap preview = ColourPreview(bitmap, 204, row.brightness);
        ASSERT_EQ(preview.m_nWidth, 79);
        ASSERT_EQ(preview.m_nHeight, 15);
        const std::uint8_t* pixel = preview.Pixel(40, 7);
        EXPECT_EQ(pixel[0], row.red) << row.brightness;
        EXPECT_EQ(pixel[1], row.green) << row.brightness;
        EXPECT_EQ(pixel[2], row.blue) << row.brightness;
    }
}

TEST(NvPreviewTest, ThinDarkLineSurvivesShrinking) {
    CBitmap bitmap = SolidBitmap(600, 20, 255, 255, 255);
    for (int y = 0; y < bitmap.m_nHeight; ++y) {
        std::fill_n(bitmap.Pixel(301, y), 3, std::uint8_t{0});
    }
    const CBitmap preview = ColourPreview(bitmap, 204, 0);
    ASSERT_EQ(preview.m_nWidth, 204);
    int darkColumns = 0;
    for (int x = 0; x < preview.m_nWidth; ++x) {
        darkColumns += preview.Pixel(x, 3)[0] == 0 ? 1 : 0;
    }
    EXPECT_EQ(darkColumns, 1);
}

TEST(NvPreviewTest, RasterDotsBecomeBlackPixels) {
    CRaster raster;
    raster.m_nWidth = 10;
    raster.m_nHeight = 2;
    raster.m_Bytes = {0x80, 0x40, 0x01, 0x00};
    const CBitmap bitmap = RasterBitmap(raster);
    ASSERT_EQ(bitmap.m_nWidth, 10);
    ASSERT_EQ(bitmap.m_nHeight, 2);
    std::string dots;
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 10; ++x) {
            dots += bitmap.Pixel(x, y)[1] == 0 ? '#' : '.';
        }
    }
    EXPECT_EQ(dots, "#........#.......#..");
}

}  // namespace
}  // namespace printdeck
