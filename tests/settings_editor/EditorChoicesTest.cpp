#include "settings_editor/EditorChoices.h"

#include <gtest/gtest.h>

#include "device/PrinterDevice.h"

namespace printdeck {
namespace {

CPrinterDevice& Printer(int version, int model, std::uint8_t msr = '0') {
    static CPrinterDevice device;
    device.g_Getver = version;
    device.g_Model = model;
    device.m_nMsrSetting = msr;
    return device;
}

TEST(EditorChoicesTest, DensityShowsThePercentageOfTheTableAndStoresByVersion) {
    EXPECT_EQ(DensityPosition(4), 5);
    EXPECT_EQ(DensityEntry(DensityPosition(4)), "print density 100%");
    EXPECT_EQ(DensityEntry(DensityPosition(3)), "print density 150%");
    EXPECT_EQ(DensityEntry(DensityPosition(7)), "print density 80%");
    EXPECT_EQ(DensityValue(5, 1040), 4);
    // Older firmware takes the list position as it is.
    EXPECT_EQ(DensityValue(5, 1039), 5);
    EXPECT_EQ(DensityPosition(9), 9);
    EXPECT_EQ(DensityEntry(9), "");
}

TEST(EditorChoicesTest, ListsFollowFirmwareAndModel) {
    const struct {
        int version;
        int model;
        const char* fastSpeed;
        std::size_t codePages;
        const char* codePage30;
        std::size_t fonts;
    } cases[] = {
        {20999, 200, "80mm/s", 31, "Reserved", 2},
        {100999, 300, "80mm/s", 31, "WPC1258 - Vietnamese", 2},
        {101000, 300, "100mm/s", 37, "WPC1258 - Vietnamese", 3},
        {101000, 202, "90mm/s", 37, "WPC1258 - Vietnamese", 3},
        {101000, 400, "80mm/s", 37, "WPC1258 - Vietnamese", 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.version);
        const CPrinterDevice& device = Printer(c.version, c.model);
        EXPECT_EQ(SpeedEntries(device), (std::vector<std::string>{c.fastSpeed, "50mm/s"}));
        const std::vector<std::string> codePages = CodePageEntries(c.version);
        ASSERT_EQ(codePages.size(), c.codePages);
        EXPECT_EQ(codePages[30], c.codePage30);
        EXPECT_EQ(FontEntries(c.version).size(), c.fonts);
    }
    EXPECT_EQ(CodePageEntries(101000).back(), "WPC1250 - Latin 2");
    EXPECT_EQ(FontEntries(100999)[1], "B font(9x24)");
}

TEST(EditorChoicesTest, CardReaderListDependsOnTheReaderByte) {
    const struct {
        std::uint8_t msr;
        int version;
        std::size_t entries;
        const char* first;
        bool fixed;
    } cases[] = {
        {'0', 21000, 9, "Track 1/2 read mode command", false},
        {'9', 11061, 8, "Track 1/2/3 read mode command", false},
        {'9', 11060, 1, "Only Encription MSR", true},
        {'P', 21000, 1, "Only Encription MSR", true},
        {'`', 21000, 1, "IC card mode", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.msr);
        const CPrinterDevice& device = Printer(c.version, 200, c.msr);
        const std::vector<std::string> entries = MsrTriggerEntries(device);
        ASSERT_EQ(entries.size(), c.entries);
        EXPECT_EQ(entries.front(), c.first);
        EXPECT_EQ(MsrTriggerFixed(device), c.fixed);
    }
    EXPECT_FALSE(OffersSentinels(Printer(21021, 200, '`')));
    EXPECT_TRUE(OffersSentinels(Printer(21021, 200, '0')));
    EXPECT_FALSE(OffersSentinels(Printer(21020, 200, '0')));
}

}  // namespace
}  // namespace printdeck
