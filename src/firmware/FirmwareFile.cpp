#include "firmware/FirmwareFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

#include "transport/UniqueFd.h"

namespace printdeck {

namespace {

FirmwareFileResult CannotRead(int error, std::uintmax_t size = 0) {
    return {FirmwareFileStatus::CannotRead, error, size};
}

// 0, or the errno of the failure; a file that ends early reports EIO.
int ReadAll(int fd, std::uint8_t* into, std::size_t size) {
    std::size_t done = 0;
    while (done < size) {
        const ssize_t got = ::read(fd, into + done, size - done);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            return errno;
        }
        if (got == 0) {
            return EIO;
        }
        done += static_cast<std::size_t>(got);
    }
    return 0;
}

}  // namespace

FirmwareFileResult ReadFirmwareFile(const std::string& path, std::vector<std::uint8_t>& bytes,
                                    std::size_t limit) {
    bytes.clear();
    const CUniqueFd file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (file.Get() < 0) {
        return CannotRead(errno);
    }
    struct stat info {};
    if (::fstat(file.Get(), &info) != 0) {
        return CannotRead(errno);
    }
    if (!S_ISREG(info.st_mode)) {
        return CannotRead(S_ISDIR(info.st_mode) ? EISDIR : EINVAL);
    }
    const auto size = static_cast<std::uintmax_t>(info.st_size);
    if (size == 0) {
        return {FirmwareFileStatus::Empty, 0, 0};
    }
    if (size > limit) {
        return {FirmwareFileStatus::TooLarge, 0, size};
    }
    std::vector<std::uint8_t> content(static_cast<std::size_t>(size));
    if (const int error = ReadAll(file.Get(), content.data(), content.size()); error != 0) {
        return CannotRead(error, size);
    }
    bytes = std::move(content);
    return {FirmwareFileStatus::Read, 0, size};
}

}  // namespace printdeck
