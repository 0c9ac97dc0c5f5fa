#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/RegDocument.h"

namespace printdeck {

// Key paths of the program's stored values.
inline constexpr const char* kProgramKey = "Software\\Tarmeko\\Printdeck";
inline constexpr const char* kNvKey = "Software\\Tarmeko\\Printdeck\\NV";

// Typed values (text, 32-bit number) under a key path and a value name, kept
// in one file in the registry export syntax. Every call re-reads the file; no
// state survives a call. Writes are atomic and locked.
class CConfigStore {
public:
    // True when a text value was read; text is left unchanged on failure.
    static bool ReadStringValue(const std::string& keyPath, const std::string& valueName,
                                std::string& text);
    // True when a number value was read; number is 0 on failure.
    static bool ReadDwordValue(const std::string& keyPath, const std::string& valueName,
                               std::uint32_t& number);
    // True when stored; the whole key path is created on first write.
    static bool WriteStringValue(const std::string& keyPath, const std::string& valueName,
                                 const std::string& text);
    static bool WriteDwordValue(const std::string& keyPath, const std::string& valueName,
                                std::uint32_t number);
    // Removes one value; true when it is gone afterwards (also when it never
    // existed). Only the NV image list deletes values.
    static bool DeleteValue(const std::string& keyPath, const std::string& valueName);

    // Why the store file cannot be used (it is a device, a FIFO, a directory);
    // empty when it can. Reads then find nothing and writes fail.
    static std::string StoreProblem();

    // $PRINTDECK_STORE, else $XDG_CONFIG_HOME/printdeck/printdeck.reg, else
    // ~/.config/printdeck/printdeck.reg.
    static std::string StoreFilePath();
};

// Store writes kept back instead of written: see CDeferredStoreWrites.
class CStoreChanges {
public:
    struct Change {
        std::string fullPath;
        std::string name;
        std::optional<RegData> data;  // nullopt: the value is deleted
    };

    bool Empty() const { return m_changes.empty(); }
    // The latest change of this value: nullptr when there is none.
    const Change* Latest(const std::string& fullPath, const std::string& name) const;
    // False, keeping nothing, for what the file could not hold.
    bool Keep(const std::string& fullPath, const std::string& name, std::optional<RegData> data);

    // Applies the changes of every set, in order, in one locked update of
    // the store file; 0 or an errno value. Nothing is written when all are
    // empty.
    static int CommitAll(const std::vector<const CStoreChanges*>& sets);

private:
    std::vector<Change> m_changes;
};

// While one lives, the store's writes and deletions on its thread go into
// `changes` instead of the file, and that thread's reads see them. Runs on
// several threads at once can so each keep what they would store, and the
// store is then written once, in an order that does not depend on which run
// finished first.
class CDeferredStoreWrites {
public:
    explicit CDeferredStoreWrites(CStoreChanges& changes);
    ~CDeferredStoreWrites();
    CDeferredStoreWrites(const CDeferredStoreWrites&) = delete;
    CDeferredStoreWrites& operator=(const CDeferredStoreWrites&) = delete;

private:
    CStoreChanges* m_previous;
};

// printf-style diagnostic hook; discards its input.
void DebugTrace(const char* format, ...);

}  // namespace printdeck
