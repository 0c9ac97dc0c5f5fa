#pragma once

#include <sys/stat.h>

namespace printdeck {

// What a file is, for messages that refuse it: "a regular file", "a directory".
inline const char* FileKindName(mode_t mode) {
    if (S_ISREG(mode)) {
        return "a regular file";
    }
    if (S_ISDIR(mode)) {
        return "a directory";
    }
    if (S_ISFIFO(mode)) {
        return "a named pipe (FIFO)";
    }
    if (S_ISCHR(mode)) {
        return "a character device";
    }
    if (S_ISBLK(mode)) {
        return "a block device";
    }
    return S_ISSOCK(mode) ? "a socket" : "a special file";
}

}  // namespace printdeck
