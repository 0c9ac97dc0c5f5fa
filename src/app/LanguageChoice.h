#pragma once

#include <string>
#include <string_view>

namespace printdeck {

// The stem of the translation catalogue for a POSIX locale name such as
// "de_DE.UTF-8" ("German" -> German.qm); empty when the program has no
// language for it and speaks English.
std::string LanguageStemForLocale(std::string_view locale);

// The locale that decides the language of messages: LC_ALL, then
// LC_MESSAGES, then LANG, the first that is set and not empty.
std::string MessagesLocaleFromEnvironment();

}  // namespace printdeck
