#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace printdeck::test {

// A fresh directory under the system's temporary folder, removed with its
// contents when the object goes.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& Path() const { return m_path; }
    std::filesystem::path operator/(const std::string& name) const { return m_path / name; }

private:
    std::filesystem::path m_path;
};

// Sets an environment variable for the object's lifetime and restores the
// previous value afterwards.
class ScopedEnv {
public:
    ScopedEnv(std::string name, const std::string& value);
    ~ScopedEnv();
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    std::string m_name;
    std::optional<std::string> m_previous;
};

// A private store file and log file for one test.
class IsolatedFiles {
public:
    IsolatedFiles();
    std::filesystem::path StorePath() const { return m_dir / "printdeck.reg"; }
    std::filesystem::path LogPath() const { return m_dir / "SbinLog.txt"; }
    const TempDir& Dir() const { return m_dir; }

private:
    TempDir m_dir;
    ScopedEnv m_store;
    ScopedEnv m_log;
};

std::string ReadWholeFile(const std::filesystem::path& path);

}  // namespace printdeck::test
