#include <gtest/gtest.h>

#include <bitset>
#include <numeric>

#include "FakeBitmapLoader.h"
#include "nvimage/NvRaster.h"
#include "nvimage/NvResult.h"

namespace printdeck {
namespace {

using test::SolidBitmap;
using Bytes = std::vector<std::uint8_t>;

struct ShrinkCase {
    const char* name;
    int from;
    int to;
    std::vector<std::vector<int>> groups;  // source pixels of each destination pixel
};

void PrintTo(const ShrinkCase& c, std::ostream* os) {
    *os << c.name;
}

// Each source pixel s clears bit s of one channel, so the AND in a destination
// pixel names exactly the source pixels that fell into it.
std::uint8_t Marker(int s) {
    return static_cast<std::uint8_t>(~(1u << s));
}

std::uint8_t ExpectedMarker(const std::vector<int>& group) {
    unsigned value = 0xFF;
    for (int s : group) {
        value &= Marker(s);
    }
    return static_cast<std::uint8_t>(value);
}

class ShrinkMappingTest : public ::testing::TestWithParam<ShrinkCase> {};

TEST_P(ShrinkMappingTest, ColumnsAndRowsFallIntoWorkedOutPixels) {
    const ShrinkCase& c = GetParam();
    CBitmap row(c.from, 1), column(1, c.from);
    for (int s = 0; s < c.from; ++s) {
        row.Pixel(s, 0)[0] = Marker(s);
        column.Pixel(0, s)[1] = Marker(s);
    }
    const CBitmap narrow = ShrinkBitmap(row, c.to, 1);
    const CBitmap low = ShrinkBitmap(column, 1, c.to);
    for (int j = 0; j < c.to; ++j) {
        const std::uint8_t want = ExpectedMarker(c.groups[static_cast<std::size_t>(j)]);
        EXPECT_EQ(std::bitset<8>(narrow.Pixel(j, 0)[0]), std::bitset<8>(want)) << "column " << j;
        EXPECT_EQ(std::bitset<8>(low.Pixel(0, j)[1]), std::bitset<8>(want)) << "row " << j;
        EXPECT_EQ(narrow.Pixel(j, 0)[2], 0xFF);
    }
}

INSTANTIATE_TEST_SUITE_P(
    HandWorked, ShrinkMappingTest,
    ::testing::Values(ShrinkCase{"FiveToTwo", 5, 2, {{0, 1, 2}, {3, 4}}},
                      ShrinkCase{"ThreeToTwo", 3, 2, {{0, 1}, {2}}},
                      ShrinkCase{"FourToThree", 4, 3, {{0}, {1, 2}, {3}}},
                      // Centre of pixel 1 and of pixel 4 lie exactly on a boundary.
                      ShrinkCase{"SixToFour", 6, 4, {{0, 1}, {2}, {3, 4}, {5}}},
                      ShrinkCase{"EightToThree", 8, 3, {{0, 1, 2}, {3, 4}, {5, 6, 7}}},
                      ShrinkCase{"SameSize", 3, 3, {{0}, {1}, {2}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ShrinkBitmapTest, AndsEveryChannelOfABlockSoDarkDetailSurvives) {
    CBitmap source = SolidBitmap(4, 4, 255, 255, 255);
    source.Pixel(3, 0)[0] = 0;  // a lone dot with its red channel cleared
    const std::uint8_t left[3] = {200, 100, 50}, right[3] = {100, 200, 50};
    std::copy(left, left + 3, source.Pixel(0, 2));
    std::copy(right, right + 3, source.Pixel(1, 3));

    const CBitmap result = ShrinkBitmap(source, 2, 2);
    EXPECT_EQ(Bytes(result.Pixel(1, 0), result.Pixel(1, 0) + 3), (Bytes{0, 255, 255}));
    EXPECT_EQ(Bytes(result.Pixel(0, 1), result.Pixel(0, 1) + 3), (Bytes{64, 64, 50}));
    EXPECT_EQ(Bytes(result.Pixel(0, 0), result.Pixel(0, 0) + 3), (Bytes{255, 255, 255}));
    EXPECT_EQ(Bytes(result.Pixel(1, 1), result.Pixel(1, 1) + 3), (Bytes{255, 255, 255}));
}

struct SizeCase {
    int width, height, maxWidth, wantWidth, wantHeight;
};

TEST(ScaledSizeTest, FitsWidthAndTruncatesHeight) {
    const SizeCase cases[] = {
        {384, 10, 384, 384, 10},   {385, 100, 384, 384, 99},   {576, 7, 576, 576, 7},
        {577, 577, 576, 576, 576}, {1000, 500, 576, 576, 288}, {1000, 500, 384, 384, 192},
        {100, 7, 576, 100, 7},     {10000, 1, 576, 576, 0},
    };
    for (const SizeCase& c : cases) {
        const CImageSize size = ScaledSize(c.width, c.height, c.maxWidth);
        EXPECT_EQ(size.m_nWidth, c.wantWidth) << c.width << "x" << c.height;
        EXPECT_EQ(size.m_nHeight, c.wantHeight) << c.width << "x" << c.height;
    }
}

TEST(KeyCodeMaxWidthTest, WideFromModelsAbove220) {
    EXPECT_EQ(KeyCodeMaxWidth(200), 384);
    EXPECT_EQ(KeyCodeMaxWidth(220), 384);
    EXPECT_EQ(KeyCodeMaxWidth(221), 576);
    EXPECT_EQ(KeyCodeMaxWidth(300), 576);
}

TEST(IsDarkPixelTest, OnlyChannelsAllAbove225AreWhite) {
    struct {
        std::uint8_t r, g, b;
        int dark;
    } const cases[] = {
        {255, 255, 255, 0}, {226, 226, 226, 0}, {225, 255, 255, 1},
        {255, 225, 255, 1}, {255, 255, 225, 1}, {0, 0, 0, 1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsDarkPixel(c.r, c.g, c.b), c.dark) << +c.r << "," << +c.g << "," << +c.b;
    }
}

// The packer tests all three channels of a pixel at once; every one of the
// 2^24 colours, in both pixel formats, must print as IsDarkPixel says.
TEST(MakeRasterTest, EveryColourPrintsAsIsDarkPixelSays) {
    constexpr int kSide = 4096;
    std::vector<std::uint32_t> words(kSide * kSide);
    std::iota(words.begin(), words.end(), 0xFF000000u);
    std::vector<std::uint8_t> rgb(words.size() * 3);
    for (std::size_t i = 0; i < words.size(); ++i) {
        rgb[3 * i] = static_cast<std::uint8_t>(words[i] >> 16);
        rgb[3 * i + 1] = static_cast<std::uint8_t>(words[i] >> 8);
        rgb[3 * i + 2] = static_cast<std::uint8_t>(words[i]);
    }
    const CPixelRows pictures[] = {
        {kSide, kSide, PixelFormat::Rgb32, reinterpret_cast<const std::uint8_t*>(words.data()),
         kSide * 4},
        {kSide, kSide, PixelFormat::Rgb888, rgb.data(), kSide * 3},
    };
    for (const CPixelRows& picture : pictures) {
        const CRaster raster = MakeRaster(picture, kSide, 0);
        ASSERT_EQ(raster.m_nWidth, kSide);
        std::size_t wrong = 0;
        for (std::size_t i = 0; i < words.size(); ++i) {
            const bool printed = (raster.m_Bytes[i / 8] & (0x80u >> (i % 8))) != 0;
            const std::uint32_t c = words[i];
            wrong += printed != (IsDarkPixel(static_cast<std::uint8_t>(c >> 16),
                                             static_cast<std::uint8_t>(c >> 8),
                                             static_cast<std::uint8_t>(c)) == 1);
        }
        EXPECT_EQ(wrong, 0u);
    }
}

TEST(BrightnessMaskTest, OpenCellsShrinkWithBrightness) {
    const std::pair<int, int> cases[] = {{0, 16}, {1, 16}, {6, 16}, {7, 15}, {25, 13},
                                         {50, 9}, {75, 5}, {93, 2}, {94, 1}, {100, 1}};
    for (const auto& [brightness, open] : cases) {
        int count = 0;
        for (int x = 0; x < 4; ++x) {
            for (int y = 0; y < 4; ++y) {
                count += IsMaskCellOpen(brightness, x, y) ? 1 : 0;
            }
        }
        EXPECT_EQ(count, open) << "brightness " << brightness;
    }
    EXPECT_TRUE(IsMaskCellOpen(100, 4, 8));  // the cell with value 16
}

// A picture with dark and white pixels in an irregular pattern.
CBitmap Pattern(int width, int height) {
    CBitmap bitmap(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const std::uint8_t level = (x * 7 + y * 3) % 5 < 2 ? 0 : 255;
            std::fill(bitmap.Pixel(x, y), bitmap.Pixel(x, y) + 3, level);
        }
    }
    return bitmap;
}

TEST(MakeRasterTest, BrightnessZeroAndSixAgree) {
    const CBitmap picture = Pattern(37, 11);
    EXPECT_EQ(MakeRaster(picture, 384, 0).m_Bytes, MakeRaster(picture, 384, 6).m_Bytes);
    EXPECT_NE(MakeRaster(picture, 384, 0).m_Bytes, MakeRaster(picture, 384, 7).m_Bytes);
}

TEST(MakeRasterTest, FullBrightnessKeepsOnlyEveryFourthDotBothWays) {
    const CRaster raster = MakeRaster(SolidBitmap(8, 8, 0, 0, 0), 384, 100);
    const Bytes onRow = {0x88}, offRow = {0x00};
    for (int y = 0; y < 8; ++y) {
        EXPECT_EQ(Bytes(1, raster.m_Bytes[static_cast<std::size_t>(y)]),
                  y % 4 == 0 ? onRow : offRow)
            << "row " << y;
    }
}

TEST(MakeRasterTest, PacksLeftmostDotHighAndPadsRows) {
    const CRaster black = MakeRaster(SolidBitmap(100, 2, 0, 0, 0), 384, 0);
    EXPECT_EQ(black.BytesPerRow(), 13);
    Bytes row(12, 0xFF);
    row.push_back(0xF0);
    Bytes both = row;
    both.insert(both.end(), row.begin(), row.end());
    EXPECT_EQ(black.m_Bytes, both);

    EXPECT_EQ(MakeRaster(SolidBitmap(100, 2, 226, 226, 226), 384, 0).m_Bytes, Bytes(26, 0));

    CBitmap dots = SolidBitmap(10, 1, 255, 255, 255);
    dots.Pixel(0, 0)[1] = 0;
    dots.Pixel(9, 0)[2] = 225;
    EXPECT_EQ(MakeRaster(dots, 384, 0).m_Bytes, (Bytes{0x80, 0x40}));
}

TEST(MakeRasterTest, OneDotTooWideIsShrunk) {
    EXPECT_EQ(MakeRaster(SolidBitmap(384, 5, 0, 0, 0), 384, 0).m_nWidth, 384);
    const CRaster shrunk = MakeRaster(SolidBitmap(385, 100, 0, 0, 0), 384, 0);
    EXPECT_EQ(shrunk.m_nWidth, 384);
    EXPECT_EQ(shrunk.m_nHeight, 99);
    EXPECT_EQ(shrunk.m_Bytes, Bytes(48 * 99, 0xFF));
}

CRaster RasterOf(int width, int height, std::uint8_t fill) {
    CRaster raster;
    raster.m_nWidth = width;
    raster.m_nHeight = height;
    raster.m_Bytes.assign(
        static_cast<std::size_t>(raster.BytesPerRow()) * static_cast<std::size_t>(height), fill);
    return raster;
}

TEST(FrameTest, KeyCodeRecordHeaderAndRaster) {
    Bytes record;
    ASSERT_EQ(FrameKeyCodeRecord(RasterOf(10, 2, 0xAA), '1', '2', record), RC_OK);
    EXPECT_EQ(record, (Bytes{0x1D, 0x28, 0x4C, 0x0F, 0x00, 0x30, 0x43, 0x30, '1',  '2',
                             0x01, 0x0A, 0x00, 0x02, 0x00, 0x31, 0xAA, 0xAA, 0xAA, 0xAA}));
}

TEST(FrameTest, IndexedBlockHeaderAndRaster) {
    Bytes block;
    ASSERT_EQ(FrameIndexedBlock(RasterOf(300, 1, 0x55), block), RC_OK);
    Bytes want = {0x01, 0x2C, 0x01, 0x01, 0x00, 0x31};
    want.insert(want.end(), 38, 0x55);
    EXPECT_EQ(block, want);
}

TEST(FrameTest, RefusesRasterBeyondTheSixteenBitCount) {
    Bytes record = {0x42};
    ASSERT_EQ(FrameKeyCodeRecord(RasterOf(8, 65524, 0), 'A', 'B', record), RC_OK);
    EXPECT_EQ(record[3], 0xFF);
    EXPECT_EQ(record[4], 0xFF);

    record = {0x42};
    EXPECT_EQ(FrameKeyCodeRecord(RasterOf(8, 65525, 0), 'A', 'B', record), RC_NV_IMAGE_TOO_LARGE);
    EXPECT_EQ(FrameKeyCodeRecord(RasterOf(576, 911, 0), 'A', 'B', record), RC_NV_IMAGE_TOO_LARGE);
    EXPECT_EQ(record, Bytes{0x42});

    Bytes block;
    EXPECT_EQ(FrameIndexedBlock(RasterOf(8, 65536, 0), block), RC_NV_IMAGE_TOO_LARGE);
    EXPECT_EQ(FrameIndexedBlock(RasterOf(8, 65535, 0), block), RC_OK);
}

}  // namespace
}  // namespace printdeck
