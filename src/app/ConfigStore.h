#pragma once

#include <cstdint>
#include <string>

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

// printf-style diagnostic hook; discards its input.
void DebugTrace(const char* format, ...);

}  // namespace printdeck
