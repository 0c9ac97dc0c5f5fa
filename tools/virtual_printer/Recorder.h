#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <fstream>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "Bytes.h"

namespace printdeck::vp {

// What the dispatcher made of the received bytes.
struct CommandEvent {
    enum class Kind {
        Command,    // recognised and handled by `handler`
        Unknown,    // leading bytes no handler claimed, dropped
        Malformed,  // a command that never completed, discarded
    };
    Kind kind = Kind::Command;
    std::string handler;
    Bytes bytes;
};

// Everything the printer received, for byte-exact checks by tests and the
// optional record file. Thread-safe.
class Recorder {
public:
    Recorder() = default;
    Recorder(const Recorder&) = delete;
    Recorder& operator=(const Recorder&) = delete;

    // Received bytes are appended to `path` as they arrive (the file is
    // truncated first); an empty path stops recording to a file.
    bool SetFile(const std::string& path);

    void OnConnectionStart();
    void OnReceived(ByteView bytes);
    void OnCommand(std::string_view handler, ByteView bytes);
    void OnUnknown(ByteView bytes);
    void OnMalformed(ByteView bytes);

    // All bytes received since the last Clear, over every connection.
    Bytes Received() const;
    // The same bytes split by connection; a connection open at the Clear
    // continues in a new entry.
    std::vector<Bytes> ReceivedByConnection() const;
    std::vector<CommandEvent> Events() const;
    void Clear();

    // Wait until Received() holds at least `count` bytes / Events() at least
    // `count` entries; false on time-out.
    bool WaitForReceived(std::size_t count, std::chrono::milliseconds timeout) const;
    bool WaitForEvents(std::size_t count, std::chrono::milliseconds timeout) const;

private:
    void AddEvent(CommandEvent event);

    mutable std::mutex m_mutex;
    mutable std::condition_variable m_changed;
    Bytes m_total;
    std::vector<Bytes> m_connections;
    std::vector<CommandEvent> m_events;
    std::ofstream m_file;
};

}  // namespace printdeck::vp
