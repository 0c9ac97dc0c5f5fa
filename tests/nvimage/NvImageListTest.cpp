#include <gtest/gtest.h>

#include "FakeBitmapLoader.h"
#include "app/ConfigStore.h"
#include "device/PrinterDevice.h"
#include "nvimage/NvAddress.h"
#include "nvimage/NvImageList.h"
#include "support/TempDir.h"

namespace printdeck {
namespace {

using test::SolidBitmap;

class NvImageListTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_list.SetBitmapLoader(&m_loader);
        m_list.m_pDevice = &m_device;
    }

    void AddFile(const std::string& path, int width, int height, std::uint8_t level = 0) {
        m_loader.m_Files[path] = SolidBitmap(width, height, level, level, level);
    }

    CNvImage Entry(const std::string& path, int brightness = 0) {
        CNvImage entry;
        EXPECT_EQ(m_list
                      .LoadEntry(static_cast<std::uint8_t>(m_list.m_Images.size() + 1), path,
                                 brightness, entry)
                      .m_nCode,
                  RC_OK)
            << path;
        return entry;
    }

    static CNvImage Sized(std::uint32_t size, const std::string& name = "x.bmp") {
        CNvImage entry;
        entry.m_nSize = size;
        entry.m_strName = name;
        return entry;
    }

    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const CNvImage& image : m_list.m_Images) {
            names.push_back(std::to_string(image.m_nNumber) + ":" + image.m_strName);
        }
        return names;
    }

    test::FakeBitmapLoader m_loader;
    CPrinterDevice m_device;
    CNvImageList m_list;
};

TEST_F(NvImageListTest, FamilyFollowsVersionNumber) {
    const std::pair<int, bool> cases[] = {
        {20999, false}, {21000, true}, {100999, true}, {101000, false}, {0, false}};
    for (const auto& [version, indexed] : cases) {
        m_device.g_Getver = version;
        EXPECT_EQ(m_list.IsIndexedNvPrinter(), indexed) << version;
    }
    m_list.m_pDevice = nullptr;
    EXPECT_FALSE(m_list.IsIndexedNvPrinter());
}

TEST_F(NvImageListTest, SizeEstimateUsesModelWidthAndUnscaledHeight) {
    struct {
        int width, height, model;
        std::uint32_t size;
    } const cases[] = {
        {1000, 500, 300, 36000}, {1000, 500, 200, 24000}, {100, 3, 200, 39}, {577, 2, 220, 96}};
    for (const auto& c : cases) {
        m_device.g_Model = c.model;
        AddFile("/pics/sub/logo.bmp", c.width, c.height);
        CNvImage entry = Entry("/pics/sub/logo.bmp", 50);
        EXPECT_EQ(entry.m_nSize, c.size) << c.width << "x" << c.height << " model " << c.model;
        EXPECT_EQ(entry.m_strName, "logo.bmp");
        EXPECT_EQ(entry.m_nBrightness, 50);
    }
}

TEST_F(NvImageListTest, LoadEntryReportsFileThatDoesNotLoad) {
    CNvImage entry;
    entry.m_strName = "untouched";
    const CNvResult result = m_list.LoadEntry(1, "/nowhere.bmp", 0, entry);
    EXPECT_EQ(result.m_nCode, RC_NV_LOAD_FAILED);
    EXPECT_EQ(result.Text(), "Failed to load image file!\n/nowhere.bmp\nThe file cannot be read.");
    EXPECT_EQ(entry.m_strName, "untouched");
}

TEST_F(NvImageListTest, AreaLimitAcceptsExactFitAndRefusesOneByteMore) {
    ASSERT_EQ(m_list.AddEntry(Sized(kNvAreaBytes - 100)), RC_OK);
    EXPECT_EQ(m_list.AddEntry(Sized(101)), RC_NV_AREA_FULL);
    ASSERT_EQ(m_list.AddEntry(Sized(100)), RC_OK);
    EXPECT_EQ(m_list.TotalSize(), kNvAreaBytes);
    EXPECT_EQ(m_list.AddEntry(Sized(1)), RC_NV_AREA_FULL);
    EXPECT_EQ(m_list.m_Images.size(), 2u);
}

TEST_F(NvImageListTest, ListHoldsAtMost254Entries) {
    for (std::size_t i = 0; i < kNvMaxImages; ++i) {
        ASSERT_EQ(m_list.AddEntry(Sized(1)), RC_OK) << i;
    }
    EXPECT_EQ(m_list.AddEntry(Sized(0)), RC_NV_LIST_FULL);
    EXPECT_EQ(m_list.m_Images.size(), kNvMaxImages);
    const CNvResult full{RC_NV_LIST_FULL, {}};
    EXPECT_NE(full.Text().find("254"), std::string::npos);
}

TEST_F(NvImageListTest, RemovalRenumbersInListOrder) {
    for (const char* name : {"a", "b", "c", "d"}) {
        CNvImage entry = Sized(1, name);
        entry.m_nNumber = static_cast<std::uint8_t>(m_list.m_Images.size() + 1);
        ASSERT_EQ(m_list.AddEntry(entry), RC_OK);
    }
    m_list.RemoveEntry(2);
    EXPECT_EQ(Names(), (std::vector<std::string>{"1:a", "2:c", "3:d"}));
    m_list.RemoveEntry(9);
    EXPECT_EQ(Names(), (std::vector<std::string>{"1:a", "2:c", "3:d"}));
    m_list.RemoveAllEntries();
    EXPECT_TRUE(m_list.m_Images.empty());
}

TEST_F(NvImageListTest, StoreRoundTripReplacesEarlierValues) {
    test::IsolatedFiles files;
    for (int i = 1; i <= 5; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "image%03d", i);
        CConfigStore::WriteStringValue(kNvKey, name, "/old.bmp,000");
    }
    AddFile("/pics/a,b.bmp", 8, 8);
    AddFile("/pics/c.bmp", 8, 8);
    AddFile("/pics/d.bmp", 8, 8);
    for (const auto& [path, brightness] :
         {std::pair{"/pics/a,b.bmp", 50}, {"/pics/c.bmp", 7}, {"/pics/d.bmp", 100}}) {
        ASSERT_EQ(m_list.AddEntry(Entry(path, brightness)), RC_OK);
    }
    m_list.m_nStoredCount = 3;
    m_list.m_bIdentified = 1;
    m_list.m_NvAddresses = {"10"};
    m_list.m_DownloadQueue.emplace_back();

    m_list.SaveImagesToStore();

    EXPECT_EQ(m_list.m_bIdentified, 0);
    EXPECT_TRUE(m_list.m_NvAddresses.empty());
    EXPECT_TRUE(m_list.m_DownloadQueue.empty());
    std::string value;
    ASSERT_TRUE(CConfigStore::ReadStringValue(kNvKey, "image001", value));
    EXPECT_EQ(value, "/pics/a,b.bmp,050");
    ASSERT_TRUE(CConfigStore::ReadStringValue(kNvKey, "image002", value));
    EXPECT_EQ(value, "/pics/c.bmp,007");
    EXPECT_FALSE(CConfigStore::ReadStringValue(kNvKey, "image004", value));
    EXPECT_FALSE(CConfigStore::ReadStringValue(kNvKey, "image005", value));
    EXPECT_EQ(CNvImageList::ReadStoredCount(kNvKey), 3);

    CNvImageList restored;
    restored.SetBitmapLoader(&m_loader);
    restored.m_pDevice = &m_device;
    EXPECT_TRUE(restored.LoadImagesFromStore().empty());
    ASSERT_EQ(restored.m_Images.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(restored.m_Images[i].m_nNumber, i + 1);
        EXPECT_EQ(restored.m_Images[i].m_strPath, m_list.m_Images[i].m_strPath);
        EXPECT_EQ(restored.m_Images[i].m_strName, m_list.m_Images[i].m_strName);
        EXPECT_EQ(restored.m_Images[i].m_nBrightness, m_list.m_Images[i].m_nBrightness);
    }
}

TEST_F(NvImageListTest, LoadFromStoreSkipsMissingFilesAndReportsRefusedOnes) {
    test::IsolatedFiles files;
    m_device.g_Model = MODEL_T300;
    AddFile("/pics/big1.bmp", 576, 2000);  // 144000 bytes
    AddFile("/pics/big2.bmp", 576, 2000);
    AddFile("/pics/small.bmp", 8, 10);
    const char* values[][2] = {{"image001", "/pics/gone.bmp,010"},
                               {"image002", "/pics/big1.bmp,020"},
                               {"image003", "/pics/big2.bmp,030"},
                               {"image004", "/pics/small.bmp"},
                               {"image006", "/pics/small.bmp,040"}};
    for (const auto& [name, value] : values) {
        CConfigStore::WriteStringValue(kNvKey, name, value);
    }
    m_list.m_Images.push_back(Sized(5, "stale"));

    const std::vector<CNvResult> refused = m_list.LoadImagesFromStore();

    EXPECT_EQ(Names(), (std::vector<std::string>{"1:big1.bmp", "2:small.bmp"}));
    EXPECT_EQ(m_list.m_Images[0].m_nBrightness, 20);
    EXPECT_EQ(m_list.m_Images[1].m_nBrightness, 0);
    ASSERT_EQ(refused.size(), 1u);
    EXPECT_EQ(refused[0].m_nCode, RC_NV_AREA_FULL);
    EXPECT_EQ(refused[0].Text(), "NV image area too small!\nbig2.bmp");
}

TEST_F(NvImageListTest, StoredBrightnessIsReadFromUpToThreeDigits) {
    test::IsolatedFiles files;
    AddFile("/p.bmp", 8, 1);
    const std::pair<const char*, int> cases[] = {{"/p.bmp,007", 7},   {"/p.bmp,100", 100},
                                                 {"/p.bmp,5", 5},     {"/p.bmp,0420", 42},
                                                 {"/p.bmp,999", 100}, {"/p.bmp,", 0}};
    for (const auto& [value, brightness] : cases) {
        CConfigStore::WriteStringValue(kNvKey, "image001", value);
        m_list.LoadImagesFromStore();
        ASSERT_EQ(m_list.m_Images.size(), 1u) << value;
        EXPECT_EQ(m_list.m_Images[0].m_nBrightness, brightness) << value;
    }
}

TEST_F(NvImageListTest, RecordsQueueInCallOrder) {
    m_device.g_Model = MODEL_T300;
    AddFile("/first.bmp", 16, 2);
    AddFile("/second.bmp", 8, 1);
    ASSERT_TRUE(m_list.MakeKeyCodeRecord(Entry("/first.bmp"), "10").Ok());
    ASSERT_TRUE(m_list.MakeKeyCodeRecord(Entry("/second.bmp"), "11x").Ok());
    ASSERT_EQ(m_list.m_DownloadQueue.size(), 2u);
    EXPECT_EQ(m_list.m_DownloadQueue.front().m_strName, "first.bmp");
    EXPECT_EQ(m_list.m_DownloadQueue.back().m_strName, "second.bmp");
    EXPECT_EQ(m_list.m_DownloadQueue.back().m_Data[8], '1');
    EXPECT_EQ(m_list.m_DownloadQueue.back().m_Data[9], '1');
    EXPECT_EQ(m_list.DownloadQueueBytes(), (16u + 4u) + (16u + 1u));
}

TEST_F(NvImageListTest, BuildersRefuseWithoutQueueingAndNameTheCause) {
    m_device.g_Model = MODEL_T300;
    AddFile("/pics/tall.bmp", 576, 911);
    AddFile("/pics/fits.bmp", 576, 910);
    AddFile("/pics/gone.bmp", 8, 1);
    const CNvImage tall = Entry("/pics/tall.bmp");
    const CNvImage fits = Entry("/pics/fits.bmp");
    const CNvImage gone = Entry("/pics/gone.bmp");
    m_loader.m_Files.erase("/pics/gone.bmp");

    struct {
        CNvResult result;
        int code;
        std::string text;
    } const cases[] = {
        {m_list.MakeKeyCodeRecord(fits, "5"), RC_BAD_ADDRESS,
         "NV address must have two characters!\n5"},
        {m_list.MakeKeyCodeRecord(tall, "10"), RC_NV_IMAGE_TOO_LARGE,
         "Image is too large for one NV image! Its raster may hold at most 65524 bytes.\n"
         "tall.bmp"},
        {m_list.MakeKeyCodeRecord(gone, "10"), RC_NV_LOAD_FAILED,
         "Failed to load image file!\n/pics/gone.bmp\nThe file cannot be read."},
        {m_list.MakeIndexedRecord(gone), RC_NV_LOAD_FAILED,
         "Failed to load image file!\n/pics/gone.bmp\nThe file cannot be read."},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.result.m_nCode, c.code) << c.text;
        EXPECT_EQ(c.result.Text(), c.text);
    }
    EXPECT_TRUE(m_list.m_DownloadQueue.empty());

    ASSERT_TRUE(m_list.MakeKeyCodeRecord(fits, "10").Ok());
    const std::vector<std::uint8_t>& record = m_list.m_DownloadQueue.front().m_Data;
    EXPECT_EQ(record.size(), 16u + 72u * 910u);
    EXPECT_EQ(record[3], 0xFB);
    EXPECT_EQ(record[4], 0xFF);
}

TEST_F(NvImageListTest, IndexedRecordOnNarrowModelMatchesKeyCodeRaster) {
    m_device.g_Model = MODEL_T200;
    AddFile("/wide.bmp", 600, 10);
    const CNvImage image = Entry("/wide.bmp");
    ASSERT_TRUE(m_list.MakeIndexedRecord(image).Ok());
    ASSERT_TRUE(m_list.MakeKeyCodeRecord(image, "10").Ok());
    const std::vector<std::uint8_t>& block = m_list.m_DownloadQueue.front().m_Data;
    const std::vector<std::uint8_t>& record = m_list.m_DownloadQueue.back().m_Data;
    EXPECT_EQ(std::vector<std::uint8_t>(block.begin(), block.begin() + 6),
              (std::vector<std::uint8_t>{0x01, 0x80, 0x01, 0x06, 0x00, 0x31}));
    EXPECT_TRUE(std::equal(block.begin() + 6, block.end(), record.begin() + 16, record.end()));
}

struct AutoAddressCase {
    const char* name;
    std::vector<std::string> taken;
    std::vector<std::string> expected;
};

void PrintTo(const AutoAddressCase& c, std::ostream* os) {
    *os << c.name;
}

class NvAutoAddressTest : public ::testing::TestWithParam<AutoAddressCase> {};

TEST_P(NvAutoAddressTest, SkipsTakenAddresses) {
    CNvAutoAddress addresses(GetParam().taken);
    for (const std::string& want : GetParam().expected) {
        std::string address;
        ASSERT_EQ(addresses.Next(address), RC_OK);
        EXPECT_EQ(address, want);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NvAutoAddressTest,
    ::testing::Values(AutoAddressCase{"EmptyPrinter", {}, {"10", "11", "12"}},
                      AutoAddressCase{"Gaps", {"10", "12"}, {"11", "13", "14"}},
                      AutoAddressCase{"IntoNextTen",
                                      {"18", "19", "20", "AB"},
                                      {"10", "11", "12", "13", "14", "15", "16", "17", "21"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(NvAutoAddressLimitTest, StopsAfter99InsteadOfRunningIntoPunctuation) {
    CNvAutoAddress addresses({"55"});
    std::string address;
    int handedOut = 0;
    while (addresses.Next(address) == RC_OK) {
        ++handedOut;
    }
    EXPECT_EQ(handedOut, 89);
    EXPECT_EQ(address, "99");
    EXPECT_EQ(addresses.Next(address), RC_NV_NO_FREE_ADDRESS);
    EXPECT_EQ(address, "99");
}

TEST(NvAddressTest, AddressNeedsTwoCharacters) {
    EXPECT_FALSE(IsValidNvAddress(""));
    EXPECT_FALSE(IsValidNvAddress("5"));
    EXPECT_TRUE(IsValidNvAddress("05"));
}

}  // namespace
}  // namespace printdeck
