#include "transport/CommLog.h"

#include <fcntl.h>
#include <pwd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string_view>

#include "transport/IoWait.h"
#include "transport/LogTime.h"

namespace printdeck {

namespace {

std::tm SystemUtcTime() {
    const std::time_t now = std::time(nullptr);
    std::tm utc{};
    gmtime_r(&now, &utc);
    return utc;
}

UtcTimeSource g_timeSource = &SystemUtcTime;
thread_local const std::string* t_redirect = nullptr;

// The variable's value; empty when it is not set.
std::string EnvValue(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? std::string(value) : std::string();
}

std::string HomeFolder() {
    if (std::string home = EnvValue("HOME"); !home.empty()) {
        return home;
    }
    const long hint = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::string buffer(hint > 0 ? static_cast<std::size_t>(hint) : 16384, '\0');
    passwd entry{};
    passwd* found = nullptr;
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 &&
        found != nullptr && found->pw_dir != nullptr) {
        return found->pw_dir;
    }
    return {};
}

// A double with 10 significant digits, in fixed or exponent form.
std::string FormatDouble(double value) {
    const int size = std::snprintf(nullptr, 0, "%.10g", value);
    if (size <= 0) {
        return {};
    }
    std::string text(static_cast<std::size_t>(size) + 1, '\0');
    std::snprintf(text.data(), text.size(), "%.10g", value);
    text.resize(static_cast<std::size_t>(size));
    return text;
}

// Knows %d, %f and %s; a '%' with any other character is dropped with it.
std::string ExpandFormat(const char* format, va_list arguments) {
    std::string message;
    for (const char* at = format; *at != '\0'; ++at) {
        if (*at != '%') {
            message += *at;
            continue;
        }
        switch (*++at) {
            case 'd':
                message += std::to_string(va_arg(arguments, int));
                break;
            case 'f':
                message += FormatDouble(va_arg(arguments, double));
                break;
            case 's':
                if (const char* text = va_arg(arguments, const char*)) {
                    message += text;
                }
                break;
            case '\0':
                return message;
            default:
                break;
        }
    }
    return message;
}

// Stamp, message and a line feed, with every line feed written as CR LF.
std::string ComposeEntry(const std::tm& utc, std::string_view message) {
    const std::string text = "- (" + std::to_string(utc.tm_hour) + ":" +
                             std::to_string(utc.tm_min) + ":" + std::to_string(utc.tm_sec) + ")  " +
                             std::string(message) + "\n";
    std::string entry;
    entry.reserve(text.size() + text.size() / 8 + 2);
    for (const char c : text) {
        if (c == '\n') {
            entry += '\r';
        }
        entry += c;
    }
    return entry;
}

// Non-blocking: a FIFO in the log's place must not hold up the printer exchange.
int OpenForAppend(const std::string& path) {
    return Retrying([&] {
        return ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_NONBLOCK | O_CLOEXEC, 0644);
    });
}

// Best effort: the exchange with the printer goes on whatever happens here.
void AppendToFile(const std::string& path, const std::string& entry) {
    int fd = OpenForAppend(path);
    if (fd < 0 && errno == ENOENT) {
        std::error_code ignored;
        std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ignored);
        fd = OpenForAppend(path);
    }
    if (fd < 0) {
        return;
    }
    std::size_t written = 0;
    while (written < entry.size()) {
        const ssize_t moved = TransferOnce(
            [&] { return ::write(fd, entry.data() + written, entry.size() - written); });
        if (moved <= 0) {
            break;
        }
        written += static_cast<std::size_t>(moved);
    }
    ::close(fd);
}

}  // namespace

UtcTimeSource SetLogTimeSource(UtcTimeSource source) {
    const UtcTimeSource previous = g_timeSource;
    g_timeSource = source != nullptr ? source : &SystemUtcTime;
    return previous;
}

void CCommLog::WriteLogEntry(const char* format, ...) {
    if (format == nullptr) {
        return;
    }
    va_list arguments;
    va_start(arguments, format);
    const std::string message = ExpandFormat(format, arguments);
    va_end(arguments);
    AppendToFile(t_redirect != nullptr ? *t_redirect : LogFilePath(),
                 ComposeEntry(g_timeSource(), message));
}

std::string CCommLog::LogFilePath() {
    if (const std::string log = EnvValue("PRINTDECK_LOG"); !log.empty()) {
        return log;
    }
    // A relative XDG_STATE_HOME is invalid and ignored.
    if (const std::string state = EnvValue("XDG_STATE_HOME"); !state.empty() && state[0] == '/') {
        return state + "/printdeck/SbinLog.txt";
    }
    return HomeFolder() + "/.local/state/printdeck/SbinLog.txt";
}

std::string CCommLog::LogFilePathFor(const std::string& portName) {
    const std::filesystem::path usual(LogFilePath());
    std::string name = portName;
    for (char& c : name) {
        const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                           (c >= '0' && c <= '9') || c == '.' || c == '-';
        c = plain ? c : '_';
    }
    name.erase(0, name.find_first_not_of("_."));
    return usual.parent_path() / (usual.stem().string() + "-" + name + usual.extension().string());
}

CCommLog::ThreadRedirect::ThreadRedirect(std::string path)
    : m_path(std::move(path)), m_previous(t_redirect) {
    t_redirect = &m_path;
}

CCommLog::ThreadRedirect::~ThreadRedirect() {
    t_redirect = m_previous;
}

}  // namespace printdeck
