#include "app/LanguageChoice.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <optional>
#include <string>

namespace printdeck {
namespace {

TEST(LanguageChoice, MapsLocaleNamesToCatalogueStems) {
    const struct {
        const char* locale;
        const char* stem;
    } rows[] = {
        {"de_DE.UTF-8", "German"},
        {"de_AT", "German"},
        {"de", "German"},
        {"de_CH.UTF-8@euro", "German"},
        {"zh_TW.UTF-8", "TraditionalChinese"},
        {"zh_HK", "TraditionalChinese"},
        {"zh_MO.UTF-8", "TraditionalChinese"},
        {"zh_CN.UTF-8", "SimplifiedChinese"},
        {"zh_SG", "SimplifiedChinese"},
        {"zh", ""},
        {"zh_XX.UTF-8", ""},
        {"es_MX.UTF-8", "Spanish"},
        {"fr_CA", "French"},
        {"hu_HU", "Hungarian"},
        {"it_IT", "Italian"},
        {"ja_JP.eucJP", "Japanese"},
        {"ko_KR.UTF-8", "Korean"},
        {"pl_PL", "Polish"},
        {"ru_RU.KOI8-R", "Russian"},
        {"nl_NL.UTF-8", ""},
        {"en_US.UTF-8", ""},
        {"C", ""},
        {"POSIX", ""},
        {"C.UTF-8", ""},
        {"", ""},
        {"deu_DE", ""},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(LanguageStemForLocale(row.locale), row.stem) << row.locale;
    }
}

// Sets or unsets the locale variables for one test and restores them after.
class LocaleEnvironment {
public:
    LocaleEnvironment() {
        for (int i = 0; i < 3; ++i) {
            const char* value = std::getenv(kNames[i]);
            m_saved[i] = value ? std::optional<std::string>(value) : std::nullopt;
        }
    }
    ~LocaleEnvironment() {
        for (int i = 0; i < 3; ++i) {
            Set(kNames[i], m_saved[i] ? m_saved[i]->c_str() : nullptr);
        }
    }
    static void Set(const char* name, const char* value) {
        if (value != nullptr) {
            ::setenv(name, value, 1);
        } else {
            ::unsetenv(name);
        }
    }

private:
    static constexpr const char* kNames[3] = {"LC_ALL", "LC_MESSAGES", "LANG"};
    std::optional<std::string> m_saved[3];
};

TEST(LanguageChoice, TakesLcAllThenLcMessagesThenLang) {
    const struct {
        const char* lcAll;
        const char* lcMessages;
        const char* lang;
        const char* expected;
    } rows[] = {
        {"de_DE.UTF-8", "fr_FR", "ru_RU", "de_DE.UTF-8"},
        {nullptr, "fr_FR", "ru_RU", "fr_FR"},
        {"", "", "ru_RU", "ru_RU"},
        {nullptr, nullptr, nullptr, ""},
    };
    LocaleEnvironment restore;
    for (const auto& row : rows) {
        LocaleEnvironment::Set("LC_ALL", row.lcAll);
        LocaleEnvironment::Set("LC_MESSAGES", row.lcMessages);
        LocaleEnvironment::Set("LANG", row.lang);
        EXPECT_EQ(MessagesLocaleFromEnvironment(), row.expected);
    }
}

}  // namespace
}  // namespace printdeck
