#include "app/LanguageChoice.h"

#include <array>
#include <cstdlib>
#include <utility>

namespace printdeck {
namespace {

struct LanguageRow {
    std::string_view language;
    std::string_view stem;
};

constexpr std::array kLanguages = std::to_array<LanguageRow>({
    {"de", "German"},
    {"es", "Spanish"},
    {"fr", "French"},
    {"hu", "Hungarian"},
    {"it", "Italian"},
    {"ja", "Japanese"},
    {"ko", "Korean"},
    {"pl", "Polish"},
    {"ru", "Russian"},
});

// Chinese is chosen by the region: the traditional script where it is written.
std::string_view ChineseStem(std::string_view territory) {
    if (territory == "TW" || territory == "HK" || territory == "MO") {
        return "TraditionalChinese";
    }
    if (territory == "CN" || territory == "SG") {
        return "SimplifiedChinese";
    }
    return {};
}

// "ll_TT.codeset@modifier" split into its language and territory.
std::pair<std::string_view, std::string_view> SplitLocale(std::string_view locale) {
    locale = locale.substr(0, locale.find_first_of(".@"));
    const std::size_t underscore = locale.find('_');
    if (underscore == std::string_view::npos) {
        return {locale, {}};
    }
    return {locale.substr(0, underscore), locale.substr(underscore + 1)};
}

}  // namespace

std::string LanguageStemForLocale(std::string_view locale) {
    const auto [language, territory] = SplitLocale(locale);
    if (language == "zh") {
        return std::string(ChineseStem(territory));
    }
    for (const LanguageRow& row : kLanguages) {
        if (row.language == language) {
            return std::string(row.stem);
        }
    }
    return {};
}

std::string MessagesLocaleFromEnvironment() {
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(name);
        if (value != nullptr && *value != '\0') {
            return value;
        }
    }
    return {};
}

}  // namespace printdeck
