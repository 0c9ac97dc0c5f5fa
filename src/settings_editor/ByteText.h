#pragma once

#include <QString>
#include <string>

namespace printdeck {

// Printer texts are single bytes; the windows show them one character per
// byte (Latin-1) and take them back the same way.
inline QString FromBytes(const std::string& bytes) {
    return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

// A character that no byte carries becomes `unrepresentable`.
inline std::string ToBytes(const QString& text, char unrepresentable = '?') {
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(text.size()));
    for (const QChar c : text) {
        bytes += c.unicode() <= 0xFF ? static_cast<char>(c.unicode()) : unrepresentable;
    }
    return bytes;
}

}  // namespace printdeck
