#include "app/ProcessTable.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <filesystem>
#include <fstream>

namespace printdeck {
namespace {

namespace fs = std::filesystem;

// Command names are at most 15 characters; more is cut off.
constexpr std::size_t kMaxCommandName = 64;

bool ParsePid(const std::string& text, pid_t& pid) {
    const char* end = text.data() + text.size();
    const auto result = std::from_chars(text.data(), end, pid);
    return !text.empty() && result.ec == std::errc() && result.ptr == end && pid > 0;
}

std::string CommandName(const fs::path& folder) {
    std::ifstream file(folder / "comm");
    std::array<char, kMaxCommandName> buffer{};
    file.read(buffer.data(), buffer.size());
    const std::string text(buffer.data(), static_cast<std::size_t>(file.gcount()));
    return text.substr(0, text.find('\n'));
}

dev_t SpecialDevice(const struct stat& file) {
    return S_ISCHR(file.st_mode) ? file.st_rdev : 0;
}

}  // namespace

CProcessTable::CProcessTable(const std::string& procRoot) {
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(procRoot, error)) {
        pid_t pid = 0;
        if (ParsePid(entry.path().filename().string(), pid) && pid != ::getpid()) {
            ReadProcess(entry.path().string(), pid);
        }
    }
}

void CProcessTable::ReadProcess(const std::string& folder, pid_t pid) {
    const std::size_t index = m_processes.size();
    m_processes.push_back({pid, CommandName(folder)});
    std::error_code error;
    fs::directory_iterator descriptors(fs::path(folder) / "fd", error);
    if (error) {
        // A process that ended meanwhile has no folder left to read.
        m_sawEveryOpenFile = m_sawEveryOpenFile && !fs::exists(folder, error);
        return;
    }
    for (const auto& descriptor : descriptors) {
        struct stat file {};
        if (::stat(descriptor.path().c_str(), &file) == 0) {
            m_openFiles.push_back({file.st_dev, file.st_ino, SpecialDevice(file), index});
        }
    }
}

std::vector<ProcessRef> CProcessTable::Holding(const std::string& path) const {
    std::vector<ProcessRef> holders;
    struct stat target {};
    if (::stat(path.c_str(), &target) != 0) {
        return holders;
    }
    const dev_t special = SpecialDevice(target);
    for (const OpenFile& open : m_openFiles) {
        const bool same = special != 0
                              ? open.special == special
                              : open.device == target.st_dev && open.inode == target.st_ino;
        const ProcessRef& process = m_processes[open.process];
        if (same && std::none_of(holders.begin(), holders.end(),
                                 [&](const ProcessRef& p) { return p.pid == process.pid; })) {
            holders.push_back(process);
        }
    }
    return holders;
}

bool CProcessTable::Runs(const std::string& name) const {
    return std::any_of(m_processes.begin(), m_processes.end(),
                       [&](const ProcessRef& process) { return process.name == name; });
}

}  // namespace printdeck
