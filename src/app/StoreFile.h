#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "app/RegDocument.h"

namespace printdeck {

struct StoreLoad {
    CRegDocument document;  // empty unless the file was read and parsed
    int error = 0;          // errno when the file exists but cannot be read, or is no regular file
    std::optional<RegParseError> fault;  // set when the file is not a store file
};

// Why the path cannot serve as the store file: it exists and is not a
// regular file (nor a symbolic link to one). Empty when it can, also when
// it does not exist yet. Reading a device or a FIFO could block or never
// end, and replacing one would destroy it.
std::string StoreFileProblem(const std::filesystem::path& path);

// Reads the store file; a missing file is an empty store.
StoreLoad LoadStoreFile(const std::filesystem::path& path);

// "file:line: message", the form every complaint about a store file takes.
std::string DescribeFault(const std::filesystem::path& path, const RegParseError& fault);

// One read-modify-write of the store file under an exclusive lock on a lock
// file beside it, so concurrent writers never lose each other's values. The
// new contents go to a temporary file that is flushed and renamed over the
// old one, so a writer killed midway leaves the old file or the new one.
class CStoreUpdate {
public:
    explicit CStoreUpdate(const std::filesystem::path& path);
    ~CStoreUpdate();
    CStoreUpdate(const CStoreUpdate&) = delete;
    CStoreUpdate& operator=(const CStoreUpdate&) = delete;

    // Creates the folder, takes the lock and loads the file. A file that is
    // not a store file is renamed aside (suffix .corrupt) and the update
    // starts empty. Returns 0 or an errno value.
    int Begin();
    CRegDocument& Document() { return m_document; }
    // Returns 0 or an errno value.
    int Commit();

private:
    int SetAside(const RegParseError& fault);

    std::filesystem::path m_path;
    int m_lockFd = -1;
    CRegDocument m_document;
};

}  // namespace printdeck
