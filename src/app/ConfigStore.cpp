#include "app/ConfigStore.h"

#include <pwd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <optional>

#include "app/StoreFile.h"

namespace printdeck {

namespace {

constexpr const char* kRoot = "HKEY_LOCAL_MACHINE";

// The changes this thread keeps back, while a CDeferredStoreWrites lives.
thread_local CStoreChanges* t_deferred = nullptr;

std::string FullKeyPath(const std::string& keyPath) {
    return keyPath.empty() ? std::string(kRoot) : std::string(kRoot) + '\\' + keyPath;
}

const char* NonEmptyEnv(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0' ? value : nullptr;
}

std::string HomeFolder() {
    if (const char* home = NonEmptyEnv("HOME")) {
        return home;
    }
    const passwd* user = ::getpwuid(::getuid());
    return user != nullptr && user->pw_dir != nullptr ? user->pw_dir : "/";
}

std::optional<RegData> ReadValue(const std::string& keyPath, const std::string& valueName) {
    const std::string fullPath = FullKeyPath(keyPath);
    if (!CRegDocument::IsStorableKeyPath(fullPath)) {
        return std::nullopt;
    }
    if (const auto* change =
            t_deferred != nullptr ? t_deferred->Latest(fullPath, valueName) : nullptr) {
        return change->data;
    }
    const StoreLoad load = LoadStoreFile(CConfigStore::StoreFilePath());
    const RegData* data = load.document.Find(fullPath, valueName);
    return data != nullptr ? std::optional(*data) : std::nullopt;
}

void TraceFailure(const char* format, int error) {
    DebugTrace(format, error);
    DebugTrace("*Error GetLastError = %d = %d", error, error);
}

// Opening the file and its lock stands for creating the key, replacing the
// file for setting the value; each failure is traced under its own name.
bool WriteValue(const std::string& keyPath, const std::string& valueName, RegData data,
                std::optional<std::size_t> tracedLength) {
    const std::string fullPath = FullKeyPath(keyPath);
    if (t_deferred != nullptr) {
        return t_deferred->Keep(fullPath, valueName, std::move(data));
    }
    CStoreUpdate update(CConfigStore::StoreFilePath());
    int error = CRegDocument::IsStorableKeyPath(fullPath) ? update.Begin() : EINVAL;
    if (error != 0) {
        TraceFailure("*Error RegCreateKeyEx = %d", error);
        return false;
    }
    if (CRegDocument::IsStorableValueName(valueName)) {
        update.Document().Set(fullPath, valueName, std::move(data));
        error = update.Commit();
    } else {
        error = EINVAL;
    }
    if (tracedLength) {
        DebugTrace("strValue Length = %d", static_cast<int>(*tracedLength));
    }
    if (error != 0) {
        TraceFailure("*Error RegSetValueEx = %d", error);
        return false;
    }
    return true;
}

}  // namespace

bool CConfigStore::ReadStringValue(const std::string& keyPath, const std::string& valueName,
                                   std::string& text) {
    const std::optional<RegData> data = ReadValue(keyPath, valueName);
    if (!data || data->kind != kRegSz) {
        return false;
    }
    if (data->bytes.empty()) {
        text.clear();
        return false;
    }
    text = data->bytes.substr(0, data->bytes.find('\0'));
    return true;
}

bool CConfigStore::ReadDwordValue(const std::string& keyPath, const std::string& valueName,
                                  std::uint32_t& number) {
    number = 0;
    const std::optional<RegData> data = ReadValue(keyPath, valueName);
    const std::optional<std::uint32_t> stored = data ? data->AsDword() : std::nullopt;
    if (!stored) {
        return false;
    }
    number = *stored;
    return true;
}

bool CConfigStore::WriteStringValue(const std::string& keyPath, const std::string& valueName,
                                    const std::string& text) {
    return WriteValue(keyPath, valueName, RegData::Text(text), text.size());
}

bool CConfigStore::WriteDwordValue(const std::string& keyPath, const std::string& valueName,
                                   std::uint32_t number) {
    return WriteValue(keyPath, valueName, RegData::Dword(number), std::nullopt);
}

bool CConfigStore::DeleteValue(const std::string& keyPath, const std::string& valueName) {
    if (!ReadValue(keyPath, valueName)) {
        return true;  // nothing to delete; leave the file untouched
    }
    if (t_deferred != nullptr) {
        return t_deferred->Keep(FullKeyPath(keyPath), valueName, std::nullopt);
    }
    CStoreUpdate update(StoreFilePath());
    if (update.Begin() != 0) {
        return false;
    }
    if (!update.Document().Remove(FullKeyPath(keyPath), valueName)) {
        return true;  // another writer removed it meanwhile
    }
    return update.Commit() == 0;
}

const CStoreChanges::Change* CStoreChanges::Latest(const std::string& fullPath,
                                                   const std::string& name) const {
    const std::string path = LowerAscii(fullPath);
    const std::string lowerName = LowerAscii(name);
    for (auto change = m_changes.rbegin(); change != m_changes.rend(); ++change) {
        if (LowerAscii(change->fullPath) == path && LowerAscii(change->name) == lowerName) {
            return &*change;
        }
    }
    return nullptr;
}

bool CStoreChanges::Keep(const std::string& fullPath, const std::string& name,
                         std::optional<RegData> data) {
    if (!CRegDocument::IsStorableKeyPath(fullPath) || !CRegDocument::IsStorableValueName(name)) {
        return false;
    }
    m_changes.push_back({fullPath, name, std::move(data)});
    return true;
}

int CStoreChanges::CommitAll(const std::vector<const CStoreChanges*>& sets) {
    if (std::ranges::all_of(sets, [](const CStoreChanges* set) { return set->Empty(); })) {
        return 0;
    }
    CStoreUpdate update(CConfigStore::StoreFilePath());
    if (const int error = update.Begin(); error != 0) {
        return error;
    }
    for (const CStoreChanges* set : sets) {
        for (const Change& change : set->m_changes) {
            if (change.data) {
                update.Document().Set(change.fullPath, change.name, *change.data);
            } else {
                update.Document().Remove(change.fullPath, change.name);
            }
        }
    }
    return update.Commit();
}

CDeferredStoreWrites::CDeferredStoreWrites(CStoreChanges& changes) : m_previous(t_deferred) {
    t_deferred = &changes;
}

CDeferredStoreWrites::~CDeferredStoreWrites() {
    t_deferred = m_previous;
}

std::string CConfigStore::StoreProblem() {
    return StoreFileProblem(StoreFilePath());
}

std::string CConfigStore::StoreFilePath() {
    if (const char* store = NonEmptyEnv("PRINTDECK_STORE")) {
        return store;
    }
    const char* config = NonEmptyEnv("XDG_CONFIG_HOME");
    // Relative values are to be ignored, as every XDG reader does.
    const std::string base =
        config != nullptr && config[0] == '/' ? config : HomeFolder() + "/.config";
    return base + "/printdeck/printdeck.reg";
}

}  // namespace printdeck
