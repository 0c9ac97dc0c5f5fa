#include <cstdarg>
#include <cstdio>
#include <mutex>
#include <utility>

#include "app/ConfigStore.h"
#include "app/DebugTraceSink.h"

namespace printdeck {

namespace {

std::mutex g_sinkMutex;
DebugTraceSink g_sink;

DebugTraceSink CurrentSink() {
    std::lock_guard lock(g_sinkMutex);
    return g_sink;
}

}  // namespace

void SetDebugTraceSink(DebugTraceSink sink) {
    std::lock_guard lock(g_sinkMutex);
    g_sink = std::move(sink);
}

void DebugTrace(const char* format, ...) {
    const DebugTraceSink sink = CurrentSink();
    if (!sink || format == nullptr) {
        return;
    }
    va_list args;
    va_start(args, format);
    va_list measure;
    va_copy(measure, args);
    const int length = std::vsnprintf(nullptr, 0, format, measure);
    va_end(measure);
    std::string message(length > 0 ? static_cast<std::size_t>(length) : 0, '\0');
    if (length > 0) {
        std::vsnprintf(message.data(), message.size() + 1, format, args);
    }
    va_end(args);
    sink(message);
}

}  // namespace printdeck
