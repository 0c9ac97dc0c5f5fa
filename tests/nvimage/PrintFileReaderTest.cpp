#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "device/PrinterDevice.h"
#include "nvimage/NvImageList.h"
#include "nvimage/NvRaster.h"
#include "nvimage/PrintFileReader.h"
#include "support/TempDir.h"

namespace printdeck {
namespace {

using Bytes = std::vector<std::uint8_t>;

CRaster Pattern(int width, int height) {
    CRaster raster;
    raster.m_nWidth = width;
    raster.m_nHeight = height;
    raster.m_Bytes.resize(static_cast<std::size_t>(raster.BytesPerRow() * height));
    for (std::size_t i = 0; i < raster.m_Bytes.size(); ++i) {
        raster.m_Bytes[i] = static_cast<std::uint8_t>(i * 37 + 11);
    }
    return raster;
}

// The print file the image list writes for these records.
Bytes WrittenFile(bool indexed, const std::vector<std::pair<std::string, CRaster>>& images) {
    CPrinterDevice device;
    device.g_Getver = indexed ? SW_DIALECT_FIRST : 101050;
    CNvImageList list;
    list.m_pDevice = &device;
    for (const auto& [address, raster] : images) {
        CNvDownloadRecord& record = list.m_DownloadQueue.emplace_back();
        const int framed = indexed
                               ? FrameIndexedBlock(raster, record.m_Data)
                               : FrameKeyCodeRecord(raster, address[0], address[1], record.m_Data);
        EXPECT_EQ(framed, RC_OK);
    }
    test::TempDir dir;
    const auto path = dir / "images.prn";
    EXPECT_EQ(list.WritePrintFile(path.string()), 1);
    const std::string bytes = test::ReadWholeFile(path);
    return Bytes(bytes.begin(), bytes.end());
}

Bytes KeyCodeFile(const std::vector<std::pair<std::string, CRaster>>& images) {
    return WrittenFile(false, images);
}

Bytes IndexedFile(const std::vector<CRaster>& images) {
    std::vector<std::pair<std::string, CRaster>> unnamed;
    for (const CRaster& raster : images) {
        unnamed.emplace_back("", raster);
    }
    return WrittenFile(true, unnamed);
}

TEST(PrintFileReaderTest, GivesBackTheImagesOfBothFamilies) {
    const CRaster logo = Pattern(576, 3);
    const CRaster stamp = Pattern(13, 5);
    CPrintFileContents contents;

    const Bytes keyCode = KeyCodeFile({{"A1", logo}, {"10", stamp}});
    ASSERT_EQ(ReadPrintFile(keyCode, contents), std::nullopt);
    EXPECT_FALSE(contents.m_bIndexed);
    ASSERT_EQ(contents.m_Images.size(), 2u);
    EXPECT_EQ(contents.m_Images[0].m_strAddress, "A1");
    EXPECT_EQ(contents.m_Images[0].m_Raster.m_Bytes, logo.m_Bytes);
    EXPECT_EQ(contents.m_Images[0].m_nBytes, 16u + logo.m_Bytes.size());
    EXPECT_EQ(contents.m_Images[1].m_strAddress, "10");
    EXPECT_EQ(contents.m_Images[1].m_nOffset, 16u + logo.m_Bytes.size());
    EXPECT_EQ(contents.m_Images[1].m_Raster.m_nWidth, 13);
    EXPECT_EQ(contents.m_Images[1].m_Raster.m_Bytes, stamp.m_Bytes);

    ASSERT_EQ(ReadPrintFile(IndexedFile({stamp, logo}), contents), std::nullopt);
    EXPECT_TRUE(contents.m_bIndexed);
    ASSERT_EQ(contents.m_Images.size(), 2u);
    EXPECT_EQ(contents.m_Images[0].m_nIndex, 0);
    EXPECT_EQ(contents.m_Images[0].m_nOffset, 9u);
    EXPECT_EQ(contents.m_Images[1].m_nIndex, 1);
    EXPECT_EQ(contents.m_Images[1].m_Raster.m_nHeight, 3);
    EXPECT_EQ(contents.m_Images[1].m_Raster.m_Bytes, logo.m_Bytes);
}

// Every malformed file is refused, naming the byte offset where it shows.
TEST(PrintFileReaderTest, RefusesMalformedFilesAtTheOffsetThatShowsIt) {
    const Bytes one = KeyCodeFile({{"A1", Pattern(16, 2)}});  // 16 + 4 bytes
    const Bytes indexed = IndexedFile({Pattern(16, 2)});      // 9 + 10 bytes
    const auto with = [](Bytes bytes, std::size_t at, std::uint8_t value) {
        bytes[at] = value;
        return bytes;
    };
    const auto cut = [](Bytes bytes, std::size_t size) {
        bytes.resize(size);
        return bytes;
    };
    const auto append = [](Bytes bytes, const Bytes& more) {
        bytes.insert(bytes.end(), more.begin(), more.end());
        return bytes;
    };
    const struct {
        const char* name;
        Bytes file;
        std::size_t offset;
        std::string reason;
    } rows[] = {
        {"empty", {}, 0, "the file is empty"},
        {"foreign", {0x42, 0x4D, 0, 0}, 0, "begins with 42"},
        {"record header cut", cut(one, 12), 0, "ends inside a key-code record's header"},
        {"raster cut", cut(one, 18), 10, "ends inside the image's 4 raster bytes"},
        {"length disagrees with size", with(one, 12, 0x03), 10,
         "a 784 x 2 image needs 196 raster bytes, the record holds 4"},
        {"no image definition", with(one, 6, 0x45), 5, "must define an image"},
        {"image with no dots", with(with(one, 11, 0), 12, 0), 10, "has no dots (0 x 2)"},
        {"garbage after a record", append(one, {0x00, 0x01}), 20, "must begin with 1D 28 4C"},
        {"second record cut", append(one, cut(one, 10)), 20, "ends inside a key-code record"},
        {"indexed header cut", cut(indexed, 8), 0, "ends inside the indexed download header"},
        {"indexed count wrong", with(indexed, 3, 0x05), 0, "counts 5 bytes"},
        {"fewer blocks than announced", with(indexed, 8, 2), 19, "announces 2 images"},
        {"bytes after the blocks",
         with(append(indexed, {0x01}), 3, static_cast<std::uint8_t>(indexed[3] + 1)), 19,
         "1 bytes follow"},
        {"indexed block header wrong", with(indexed, 14, 0x30), 9, "not 01 wL wH hL hH 31"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        CPrintFileContents contents;
        const std::optional<CPrintFileFault> fault = ReadPrintFile(row.file, contents);
        ASSERT_TRUE(fault.has_value());
        EXPECT_EQ(fault->m_nOffset, row.offset);
        EXPECT_NE(fault->m_strReason.find(row.reason), std::string::npos) << fault->m_strReason;
    }
}

}  // namespace
}  // namespace printdeck
