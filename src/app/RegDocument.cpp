#include "app/RegDocument.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

namespace printdeck {

namespace {

constexpr std::string_view kHeader = "REGEDIT4";
// Hex data lines are wrapped like a registry export does, near 80 columns.
constexpr std::size_t kHexLineWidth = 76;

bool IsControl(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 || byte == 0x7f;
}

bool HasControl(std::string_view text) {
    return std::ranges::any_of(text, IsControl);
}

template <typename Item>
Item* Lookup(const std::unordered_map<std::string, std::size_t>& index, std::vector<Item>& items,
             std::string_view name) {
    const auto it = index.find(LowerAscii(name));
    return it == index.end() ? nullptr : &items[it->second];
}

std::string_view TrimRight(std::string_view s) {
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) {
        s.remove_suffix(1);
    }
    return s;
}

std::string_view TrimLeft(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) {
        s.remove_prefix(1);
    }
    return s;
}

std::string_view Trim(std::string_view s) {
    return TrimLeft(TrimRight(s));
}

// Parses 1..maxDigits hex digits making up the whole of text.
std::optional<std::uint32_t> ParseHex(std::string_view text, std::size_t maxDigits) {
    std::uint32_t value = 0;
    if (text.empty() || text.size() > maxDigits) {
        return std::nullopt;
    }
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
    if (error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

std::string Quote(std::string_view text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '\\' || c == '"') {
            out += '\\';
        }
        out += c;
    }
    return out + '"';
}

// Reads a quoted text starting at text[pos] == '"'; pos ends after the
// closing quote. A backslash escapes the next backslash or quote and stands
// for itself before anything else, which is how hand-written paths mean it.
bool Unquote(std::string_view text, std::size_t& pos, std::string& out) {
    out.clear();
    for (++pos; pos < text.size(); ++pos) {
        const char c = text[pos];
        if (c == '"') {
            ++pos;
            return true;
        }
        if (c == '\\' && pos + 1 < text.size() && (text[pos + 1] == '\\' || text[pos + 1] == '"')) {
            ++pos;
        }
        out += text[pos];
    }
    return false;
}

bool IsPlainText(const RegData& data) {
    return data.kind == kRegSz && !data.bytes.empty() && data.bytes.back() == '\0' &&
           !HasControl(std::string_view(data.bytes).substr(0, data.bytes.size() - 1));
}

std::string HexByte(unsigned char byte) {
    char digits[3];
    std::snprintf(digits, sizeof digits, "%02x", byte);
    return digits;
}

std::string RenderHex(std::string out, const RegData& data) {
    if (data.kind == kRegBinary) {
        out += "hex:";
    } else {
        char kind[20];
        std::snprintf(kind, sizeof kind, "hex(%x):", static_cast<unsigned>(data.kind));
        out += kind;
    }
    std::size_t lineStart = 0;
    for (std::size_t i = 0; i < data.bytes.size(); ++i) {
        if (i > 0) {
            out += ',';
            if (out.size() - lineStart >= kHexLineWidth) {
                out += "\\\n  ";
                lineStart = out.size() - 2;
            }
        }
        out += HexByte(static_cast<unsigned char>(data.bytes[i]));
    }
    return out;
}

// Texts with line breaks or other control bytes have no quoted form in the
// export syntax; they are written as hex(1): bytes, which every reader of the
// syntax understands, so every text round-trips.
std::string Render(std::string_view name, const RegData& data) {
    std::string out = name.empty() ? "@=" : Quote(name) + "=";
    if (IsPlainText(data)) {
        return out + Quote(std::string_view(data.bytes).substr(0, data.bytes.size() - 1));
    }
    if (const auto number = data.AsDword()) {
        char digits[16];
        std::snprintf(digits, sizeof digits, "%08x", static_cast<unsigned>(*number));
        return out + "dword:" + digits;
    }
    return RenderHex(std::move(out), data);
}

std::optional<std::string> ParseHexBytes(std::string_view list) {
    std::string bytes;
    list = Trim(list);
    while (!list.empty()) {
        const std::size_t comma = list.find(',');
        const auto byte = ParseHex(Trim(list.substr(0, comma)), 2);
        if (!byte) {
            return std::nullopt;
        }
        bytes += static_cast<char>(*byte);
        if (comma == std::string_view::npos) {
            break;
        }
        list.remove_prefix(comma + 1);
        if (Trim(list).empty()) {
            return std::nullopt;
        }
    }
    return bytes;
}

// "hex:..." or "hex(N):..."
std::optional<RegData> ParseHexValue(std::string_view rhs) {
    RegData data;
    if (rhs.starts_with("hex:")) {
        rhs.remove_prefix(4);
    } else {
        const std::size_t close = rhs.find("):");
        if (!rhs.starts_with("hex(") || close == std::string_view::npos) {
            return std::nullopt;
        }
        const auto kind = ParseHex(rhs.substr(4, close - 4), 8);
        if (!kind) {
            return std::nullopt;
        }
        data.kind = *kind;
        rhs.remove_prefix(close + 2);
    }
    auto bytes = ParseHexBytes(rhs);
    if (!bytes) {
        return std::nullopt;
    }
    data.bytes = std::move(*bytes);
    return data;
}

std::optional<RegData> ParseValueData(std::string_view rhs) {
    rhs = Trim(rhs);
    if (rhs.starts_with('"')) {
        std::size_t pos = 0;
        std::string text;
        if (!Unquote(rhs, pos, text) || pos != rhs.size()) {
            return std::nullopt;
        }
        return RegData::Text(text);
    }
    if (rhs.starts_with("dword:")) {
        const auto number = ParseHex(rhs.substr(6), 8);
        return number ? std::optional(RegData::Dword(*number)) : std::nullopt;
    }
    if (rhs.starts_with("hex")) {
        return ParseHexValue(rhs);
    }
    return std::nullopt;
}

}  // namespace

std::string LowerAscii(std::string_view text) {
    std::string lower(text);
    std::ranges::transform(lower, lower.begin(), [](char c) {
        return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    });
    return lower;
}

std::optional<std::uint32_t> RegData::AsDword() const {
    if (kind != kRegDword || bytes.size() != 4) {
        return std::nullopt;
    }
    std::uint32_t number = 0;
    for (int i = 3; i >= 0; --i) {
        number = (number << 8) | static_cast<unsigned char>(bytes[i]);
    }
    return number;
}

RegData RegData::Text(std::string_view text) {
    RegData data{kRegSz, std::string(text)};
    data.bytes += '\0';
    return data;
}

RegData RegData::Dword(std::uint32_t number) {
    RegData data{kRegDword, std::string(4, '\0')};
    for (int i = 0; i < 4; ++i) {
        data.bytes[i] = static_cast<char>((number >> (8 * i)) & 0xff);
    }
    return data;
}

// Reads a store file line by line; the first fault ends the parse.
class CRegParser {
public:
    explicit CRegParser(std::string_view text) {
        while (!text.empty()) {
            const std::size_t end = text.find('\n');
            m_lines.push_back(TrimRight(text.substr(0, end)));
            text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        }
    }

    RegParseResult Run() {
        if (m_lines.empty()) {
            return {CRegDocument(), {}};
        }
        if (m_lines[0] != kHeader) {
            return Failure(1, "the first line is not REGEDIT4");
        }
        for (m_next = 1; m_next < m_lines.size();) {
            const int lineNumber = static_cast<int>(m_next) + 1;
            const std::string_view line = TrimLeft(m_lines[m_next++]);
            if (line.empty() || line.starts_with(';')) {
                continue;
            }
            const char* fault = line.starts_with('[') ? ParseKey(line) : ParseValue(line);
            if (fault != nullptr) {
                return Failure(lineNumber, fault);
            }
        }
        return {std::move(m_document), {}};
    }

private:
    static RegParseResult Failure(int line, const char* message) {
        return {std::nullopt, {line, message}};
    }

    const char* ParseKey(std::string_view line) {
        if (!line.ends_with(']') || line.size() < 3) {
            return "a key line must read [key path]";
        }
        const std::string_view path = line.substr(1, line.size() - 2);
        if (path.starts_with('-')) {
            return "key deletions are not part of a store file";
        }
        const CRegDocument::Key& key = m_document.FindOrAddKey(path);
        m_keyIndex = static_cast<std::size_t>(&key - m_document.m_keys.data());
        return nullptr;
    }

    const char* ParseValue(std::string_view line) {
        if (!m_keyIndex) {
            return "a value before the first key";
        }
        CRegDocument::Value value;
        std::size_t pos = 1;
        if (line.starts_with('"')) {
            pos = 0;
            if (!Unquote(line, pos, value.name)) {
                return "the value name has no closing quote";
            }
        } else if (!line.starts_with('@')) {
            return "expected a quoted value name or @";
        }
        if (pos >= line.size() || line[pos] != '=') {
            return "expected = after the value name";
        }
        std::string rhs(line.substr(pos + 1));
        value.lines = std::string(line);
        if (rhs.starts_with("hex") && !JoinContinuations(rhs, value.lines)) {
            return "the hex data continues past the end of the file";
        }
        auto data = ParseValueData(rhs);
        if (!data) {
            return "the value data is not a quoted text, dword: or hex data";
        }
        value.data = std::move(*data);
        CRegDocument::Put(m_document.m_keys[*m_keyIndex], std::move(value));
        return nullptr;
    }

    // Hex data may go on over lines that end in a backslash.
    bool JoinContinuations(std::string& rhs, std::string& lines) {
        while (rhs.ends_with('\\')) {
            if (m_next >= m_lines.size()) {
                return false;
            }
            rhs.pop_back();
            rhs += TrimLeft(m_lines[m_next]);
            lines += '\n';
            lines += m_lines[m_next++];
        }
        return true;
    }

    std::vector<std::string_view> m_lines;
    std::size_t m_next = 0;
    CRegDocument m_document;
    std::optional<std::size_t> m_keyIndex;
};

RegParseResult CRegDocument::Parse(std::string_view text) {
    return CRegParser(text).Run();
}

std::string CRegDocument::Serialize() const {
    std::string out(kHeader);
    out += '\n';
    for (const Key& key : m_keys) {
        out += "\n[" + key.path + "]\n";
        for (const Value& value : key.values) {
            out += value.lines + '\n';
        }
    }
    return out;
}

bool CRegDocument::IsStorableKeyPath(std::string_view keyPath) {
    // "[-path]" is a deletion line, which no store file may hold.
    if (keyPath.empty() || keyPath.starts_with('-') || HasControl(keyPath)) {
        return false;
    }
    for (std::size_t start = 0;;) {
        const std::size_t end = keyPath.find('\\', start);
        if (end == start || start == keyPath.size()) {
            return false;
        }
        if (end == std::string_view::npos) {
            return true;
        }
        start = end + 1;
    }
}

bool CRegDocument::IsStorableValueName(std::string_view name) {
    return !HasControl(name);
}

bool CRegDocument::SameContents(const CRegDocument& other) const {
    const auto sameValue = [](const Value& a, const Value& b) {
        return a.name == b.name && a.data.kind == b.data.kind && a.data.bytes == b.data.bytes;
    };
    const auto sameKey = [&](const Key& a, const Key& b) {
        return a.path == b.path && std::ranges::equal(a.values, b.values, sameValue);
    };
    return std::ranges::equal(m_keys, other.m_keys, sameKey);
}

const RegData* CRegDocument::Find(std::string_view keyPath, std::string_view name) const {
    Key* key = const_cast<CRegDocument*>(this)->FindKey(keyPath);
    const Value* value = key ? FindValue(*key, name) : nullptr;
    return value ? &value->data : nullptr;
}

void CRegDocument::Set(std::string_view keyPath, std::string_view name, RegData data) {
    // A key line stands for its whole path, as an import of the file creates
    // every key above it; the file needs no lines for the parents.
    Key& key = FindOrAddKey(keyPath);
    if (Value* value = FindValue(key, name)) {
        value->lines = Render(value->name, data);
        value->data = std::move(data);
        return;
    }
    std::string lines = Render(name, data);
    Put(key, {std::string(name), std::move(data), std::move(lines)});
}

bool CRegDocument::Remove(std::string_view keyPath, std::string_view name) {
    Key* key = FindKey(keyPath);
    if (key == nullptr) {
        return false;
    }
    const auto it = key->valueIndex.find(LowerAscii(name));
    if (it == key->valueIndex.end()) {
        return false;
    }
    const std::size_t removed = it->second;
    key->values.erase(key->values.begin() + static_cast<std::ptrdiff_t>(removed));
    key->valueIndex.erase(it);
    for (auto& [lower, position] : key->valueIndex) {
        if (position > removed) {
            --position;
        }
    }
    return true;
}

CRegDocument::Key* CRegDocument::FindKey(std::string_view path) {
    return Lookup(m_keyIndex, m_keys, path);
}

CRegDocument::Value* CRegDocument::FindValue(Key& key, std::string_view name) {
    return Lookup(key.valueIndex, key.values, name);
}

CRegDocument::Key& CRegDocument::FindOrAddKey(std::string_view path) {
    const auto [it, added] = m_keyIndex.try_emplace(LowerAscii(path), m_keys.size());
    if (added) {
        m_keys.push_back(Key{std::string(path), {}, {}});
    }
    return m_keys[it->second];
}

// A name given twice in one key: the later line wins, as an import would do.
void CRegDocument::Put(Key& key, Value value) {
    const auto [it, added] = key.valueIndex.try_emplace(LowerAscii(value.name), key.values.size());
    if (added) {
        key.values.push_back(std::move(value));
    } else {
        key.values[it->second] = std::move(value);
    }
}

}  // namespace printdeck
