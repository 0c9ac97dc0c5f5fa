#include "app/StoreFile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "transport/FileKind.h"
#include "transport/UniqueFd.h"

namespace printdeck {

namespace {

// Far beyond any real store; a larger file is not one of ours.
constexpr std::size_t kMaxStoreBytes = 16 * 1024 * 1024;
constexpr int kMaxCorruptCopies = 1000;

int LastError() {
    return errno != 0 ? errno : EIO;
}

std::filesystem::path WithSuffix(const std::filesystem::path& path, const std::string& suffix) {
    return std::filesystem::path(path.string() + suffix);
}

// The errno that says best why the path is no store file.
int NotARegularFile(const std::filesystem::path& path) {
    std::error_code ignored;
    return std::filesystem::is_directory(path, ignored) ? EISDIR : EINVAL;
}

// Follows a symbolic link, so replacing the file keeps the link in place.
std::filesystem::path ResolveLink(const std::filesystem::path& path) {
    std::error_code error;
    std::filesystem::path target = std::filesystem::canonical(path, error);
    return error ? path : target;
}

// Reads at most limit + 1 bytes so that an oversized file shows as such.
int ReadAll(int fd, std::size_t limit, std::string& out) {
    char buffer[65536];
    while (out.size() <= limit) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            return LastError();
        }
        if (n == 0) {
            return 0;
        }
        out.append(buffer, static_cast<std::size_t>(n));
    }
    return 0;
}

int WriteAll(int fd, const std::string& data) {
    for (std::size_t done = 0; done < data.size();) {
        const ssize_t n = ::write(fd, data.data() + done, data.size() - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            return LastError();
        }
        done += static_cast<std::size_t>(n);
    }
    return 0;
}

int WriteFileDurably(const std::filesystem::path& path, const std::string& data) {
    CUniqueFd file(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
    if (file.Get() < 0) {
        return LastError();
    }
    if (int error = WriteAll(file.Get(), data); error != 0) {
        return error;
    }
    if (::fsync(file.Get()) != 0 || file.Close() != 0) {
        return LastError();
    }
    return 0;
}

// Makes a rename inside the folder survive a power cut; best effort.
void SyncFolder(const std::filesystem::path& folder) {
    CUniqueFd dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.Get() >= 0) {
        ::fsync(dir.Get());
    }
}

}  // namespace

std::string StoreFileProblem(const std::filesystem::path& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || S_ISREG(info.st_mode)) {
        return {};
    }
    return path.string() + ": the store is " + FileKindName(info.st_mode) +
           ", not a regular file; point PRINTDECK_STORE at a file";
}

StoreLoad LoadStoreFile(const std::filesystem::path& path) {
    StoreLoad load;
    if (!StoreFileProblem(path).empty()) {
        load.error = NotARegularFile(path);
        return load;
    }
    // Non-blocking, so a FIFO that took the file's place meanwhile cannot hold the open.
    CUniqueFd file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (file.Get() < 0) {
        load.error = errno == ENOENT ? 0 : LastError();
        return load;
    }
    struct stat info {};
    if (::fstat(file.Get(), &info) != 0 || !S_ISREG(info.st_mode)) {
        load.error = EINVAL;
        return load;
    }
    std::string text;
    load.error = ReadAll(file.Get(), kMaxStoreBytes, text);
    if (load.error != 0) {
        return load;
    }
    if (text.size() > kMaxStoreBytes) {
        load.fault = RegParseError{0, "the file is larger than 16 MiB"};
        return load;
    }
    RegParseResult parsed = CRegDocument::Parse(text);
    if (parsed.document) {
        load.document = std::move(*parsed.document);
    } else {
        load.fault = std::move(parsed.error);
    }
    return load;
}

std::string DescribeFault(const std::filesystem::path& path, const RegParseError& fault) {
    std::string text = path.string();
    if (fault.line > 0) {
        text += ':' + std::to_string(fault.line);
    }
    return text + ": " + fault.message;
}

CStoreUpdate::CStoreUpdate(const std::filesystem::path& path) : m_path(ResolveLink(path)) {}

CStoreUpdate::~CStoreUpdate() {
    if (m_lockFd >= 0) {
        ::close(m_lockFd);  // releases the lock
    }
}

int CStoreUpdate::Begin() {
    // Checked before the lock file beside it is created, too.
    if (!StoreFileProblem(m_path).empty()) {
        return NotARegularFile(m_path);
    }
    std::error_code error;
    std::filesystem::create_directories(m_path.parent_path(), error);
    if (error) {
        return error.value();
    }
    m_lockFd = ::open(WithSuffix(m_path, ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (m_lockFd < 0) {
        return LastError();
    }
    while (::flock(m_lockFd, LOCK_EX) != 0) {
        if (errno != EINTR) {
            return LastError();
        }
    }
    StoreLoad load = LoadStoreFile(m_path);
    if (load.error != 0) {
        return load.error;  // never replace a file that could not be read
    }
    if (load.fault) {
        return SetAside(*load.fault);
    }
    m_document = std::move(load.document);
    return 0;
}

int CStoreUpdate::Commit() {
    const std::filesystem::path temporary = WithSuffix(m_path, ".tmp");
    int error = WriteFileDurably(temporary, m_document.Serialize());
    if (error == 0 && ::rename(temporary.c_str(), m_path.c_str()) != 0) {
        error = LastError();
    }
    if (error != 0) {
        ::unlink(temporary.c_str());
        return error;
    }
    SyncFolder(m_path.parent_path());
    return 0;
}

// Keeps an unreadable file for its owner instead of overwriting it; earlier
// copies stay, later ones get a number.
int CStoreUpdate::SetAside(const RegParseError& fault) {
    for (int n = 0; n < kMaxCorruptCopies; ++n) {
        const std::filesystem::path aside =
            WithSuffix(m_path, n == 0 ? ".corrupt" : ".corrupt." + std::to_string(n));
        std::error_code error;
        if (std::filesystem::symlink_status(aside, error).type() !=
            std::filesystem::file_type::not_found) {
            continue;
        }
        if (::rename(m_path.c_str(), aside.c_str()) != 0) {
            return LastError();
        }
        std::fprintf(stderr, "printdeck: %s; kept as %s, settings start empty\n",
                     DescribeFault(m_path, fault).c_str(), aside.c_str());
        return 0;
    }
    return EEXIST;
}

}  // namespace printdeck
