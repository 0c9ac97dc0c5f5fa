#pragma once

#include <unistd.h>

namespace printdeck {

// Owns one file descriptor and closes it on every way out.
class CUniqueFd {
public:
    explicit CUniqueFd(int fd) : m_fd(fd) {}
    ~CUniqueFd() {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
    }
    CUniqueFd(const CUniqueFd&) = delete;
    CUniqueFd& operator=(const CUniqueFd&) = delete;

    int Get() const { return m_fd; }
    // Closes now, for callers that must see the result (a failed close can
    // mean lost data); the destructor then has nothing left to do.
    int Close() {
        const int result = ::close(m_fd);
        m_fd = -1;
        return result;
    }

private:
    int m_fd;
};

}  // namespace printdeck
