#include "app/StringTable.h"

#include <gtest/gtest.h>

#include <set>

namespace printdeck {
namespace {

TEST(StringTable, HoldsTheExactTexts) {
    const struct {
        int id;
        const char* text;
    } rows[] = {
        {IDS_ABOUT_PRINTDECK, "&About Printdeck"},
        {IDS_CODEPAGE_RESERVED, "Reserved"},
        {IDS_FAILED_TO_SAVE_VMSM,
         "Failed to save VMSM configuration!\r\nPlease check your printer state."},
        {IDS_VMSM_SET_SUCCESS,
         "Success to set VMSM configuration! \r\nPlease reset printer power."},
        {IDS_PORT_OPEN_ERROR, "Port open error!"},
        {IDS_FAILED_TO_WRITE_DATA, " Failed to write data!\r\nPlease check your printer."},
        {IDS_DOWNLOADING, " Downloading..."},
        {IDS_GET_STATUS, "Get status"},
        {IDS_SENTINEL_FORMAT_ASCII, "ASCII (ex: \\\"START(1)\\\")"},
        {IDS_SENTINEL_FORMAT_HEXA, "HEXA (ex: \\\"0A 1F 10 4C\\\")"},
        {IDS_NV_MANAGER_TITLE, "NV Image Manager"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(LoadString(row.id), row.text) << "id " << row.id;
    }
}

TEST(StringTable, DefinesEveryIdentifierOutsideTheGaps) {
    const std::set<int> gaps = {105, 160, 164, 170, 177, 178, 179, 180};
    std::set<int> defined;
    for (const StringTableEntry& entry : BuiltInStringTable()) {
        EXPECT_FALSE(entry.text.empty()) << "id " << entry.id;
        defined.insert(entry.id);
    }
    EXPECT_EQ(defined.size(), 131u);
    EXPECT_EQ(BuiltInStringTable().size(), 131u);
    for (int id = 101; id <= 239; ++id) {
        EXPECT_EQ(defined.count(id) == 1, gaps.count(id) == 0) << "id " << id;
    }
}

TEST(StringTable, UnknownIdentifierYieldsEmptyText) {
    for (int id : {-1, 0, 100, 105, 164, 177, 180, 240, 100000}) {
        EXPECT_EQ(LoadString(id), "") << "id " << id;
    }
}

class StringTranslatorTest : public ::testing::Test {
protected:
    void TearDown() override { SetStringTranslator({}); }
};

TEST_F(StringTranslatorTest, TranslationReplacesTextAndFallsBackWhenMissing) {
    SetStringTranslator([](int id) -> std::optional<std::string> {
        if (id == IDS_PORT_OPEN_ERROR) {
            return "Fehler beim \xc3\x96"
                   "ffnen des Anschlusses!";
        }
        if (id == IDS_OPEN_PORT) {
            return std::string(BuiltInString(id)) + " (de)";
        }
        return std::nullopt;
    });
    EXPECT_EQ(LoadString(IDS_PORT_OPEN_ERROR),
              "Fehler beim \xc3\x96"
              "ffnen des Anschlusses!");
    EXPECT_EQ(LoadString(IDS_OPEN_PORT), "Open port... (de)");
    EXPECT_EQ(LoadString(IDS_GET_STATUS), "Get status");

    SetStringTranslator({});
    EXPECT_EQ(LoadString(IDS_PORT_OPEN_ERROR), "Port open error!");
}

TEST_F(StringTranslatorTest, UnknownIdentifierStaysEmptyWhateverTheTranslatorSays) {
    SetStringTranslator([](int) -> std::optional<std::string> { return "translated"; });
    EXPECT_EQ(LoadString(105), "");
    EXPECT_EQ(LoadString(IDS_PRINTDECK), "translated");
}

}  // namespace
}  // namespace printdeck
