#pragma once

#include <QString>

namespace printdeck {

// A string-table text for a window, in the language the program runs in.
QString GuiString(int id);

// Texts of the core that every language shows as they are.
inline QString FixedText(const char* text) {
    return QString::fromUtf8(text);
}

}  // namespace printdeck
