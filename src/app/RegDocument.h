#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace printdeck {

// Value kinds as the registry export syntax numbers them (hex(N):).
inline constexpr std::uint32_t kRegSz = 1;
inline constexpr std::uint32_t kRegBinary = 3;
inline constexpr std::uint32_t kRegDword = 4;

// One typed value: its kind and its data bytes as the registry holds them
// (a text value includes its terminating NUL).
struct RegData {
    std::uint32_t kind = kRegBinary;
    std::string bytes;

    static RegData Text(std::string_view text);
    static RegData Dword(std::uint32_t number);
    // The number of a REG_DWORD value of exactly 4 bytes.
    std::optional<std::uint32_t> AsDword() const;
};

// Key paths and value names compare in this form.
std::string LowerAscii(std::string_view text);

struct RegParseError {
    int line = 0;
    std::string message;
};

struct RegParseResult;

// The contents of a store file in the REGEDIT4 export syntax: keys in file
// order, each with its named values. Key paths and value names compare
// without regard to ASCII case and keep the spelling they were first given.
// Values read from a file are written back exactly as they stood.
class CRegDocument {
public:
    // An empty text is an empty document.
    static RegParseResult Parse(std::string_view text);
    std::string Serialize() const;

    // Whether a full key path ("HKEY_LOCAL_MACHINE\Software\...") or a value
    // name ("" is the key's default value) can be written to the file and
    // read back as the same key or value.
    static bool IsStorableKeyPath(std::string_view keyPath);
    static bool IsStorableValueName(std::string_view name);

    // Whether both hold the same keys and values, in the same order and
    // spelling, with the same data.
    bool SameContents(const CRegDocument& other) const;

    const RegData* Find(std::string_view keyPath, std::string_view name) const;
    // Creates the key when it is missing.
    void Set(std::string_view keyPath, std::string_view name, RegData data);
    // True when a value was removed.
    bool Remove(std::string_view keyPath, std::string_view name);

private:
    struct Value {
        std::string name;
        RegData data;
        std::string lines;  // the value's text in the file, without the final line feed
    };
    // Lookups go through an index by lower-cased name, so that reading a
    // large file stays linear in its size.
    using Index = std::unordered_map<std::string, std::size_t>;
    struct Key {
        std::string path;
        std::vector<Value> values;
        Index valueIndex;
    };

    Key* FindKey(std::string_view path);
    static Value* FindValue(Key& key, std::string_view name);
    Key& FindOrAddKey(std::string_view path);
    static void Put(Key& key, Value value);

    std::vector<Key> m_keys;
    Index m_keyIndex;

    friend class CRegParser;
};

struct RegParseResult {
    std::optional<CRegDocument> document;
    RegParseError error;  // meaningful only without a document
};

}  // namespace printdeck
