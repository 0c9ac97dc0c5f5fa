#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <fstream>
#include <mutex>
#include <string>
#include <vector>

#include "Bytes.h"

namespace printdeck::vp {

// Takes in everything a host sends, unparsed, as a printer does while it
// loads new firmware: each connection that starts while a file is set is
// stored whole in that file (truncated at the connection's start) instead
// of being read as commands. Thread-safe.
class FirmwareReceiver {
public:
    FirmwareReceiver() = default;
    FirmwareReceiver(const FirmwareReceiver&) = delete;
    FirmwareReceiver& operator=(const FirmwareReceiver&) = delete;

    // Turns raw reception on for connections that start from now on; an
    // empty path turns it off. false when the file cannot be created.
    bool SetFile(const std::string& path);
    std::string File() const;

    // Connection side. BeginConnection is true when this connection is raw.
    bool BeginConnection();
    void OnReceived(ByteView bytes);
    void EndConnection();

    // Sizes of the single reads of the current or last raw connection, in
    // order. One read takes at most the connection's read buffer, and TCP
    // may join or split the host's writes.
    std::vector<std::size_t> ArrivalSizes() const;
    // Raw connections that have ended since the printer started.
    std::size_t EndedConnections() const;
    // Waits until `count` raw connections have ended; false on time-out.
    bool WaitForEndedConnections(std::size_t count, std::chrono::milliseconds timeout) const;

private:
    mutable std::mutex m_mutex;
    mutable std::condition_variable m_changed;
    std::string m_path;
    std::ofstream m_file;
    std::vector<std::size_t> m_arrivals;
    std::size_t m_ended = 0;
};

}  // namespace printdeck::vp
