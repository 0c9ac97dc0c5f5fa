#include "Recorder.h"

#include <utility>

namespace printdeck::vp {

bool Recorder::SetFile(const std::string& path) {
    std::lock_guard lock(m_mutex);
    m_file.close();
    if (path.empty()) {
        return true;
    }
    m_file.clear();
    m_file.open(path, std::ios::binary | std::ios::trunc);
    return m_file.is_open();
}

void Recorder::OnConnectionStart() {
    std::lock_guard lock(m_mutex);
    m_connections.emplace_back();
    m_changed.notify_all();
}

void Recorder::OnReceived(ByteView bytes) {
    std::lock_guard lock(m_mutex);
    if (m_connections.empty()) {
        m_connections.emplace_back();
    }
    m_connections.back().insert(m_connections.back().end(), bytes.begin(), bytes.end());
    m_total.insert(m_total.end(), bytes.begin(), bytes.end());
    if (m_file.is_open()) {
        m_file.write(reinterpret_cast<const char*>(bytes.data()),
                     static_cast<std::streamsize>(bytes.size()));
        m_file.flush();
    }
    m_changed.notify_all();
}

void Recorder::OnCommand(std::string_view handler, ByteView bytes) {
    AddEvent(
        {CommandEvent::Kind::Command, std::string(handler), Bytes(bytes.begin(), bytes.end())});
}

void Recorder::OnUnknown(ByteView bytes) {
    std::lock_guard lock(m_mutex);
    // Consecutive unknown bytes form one event, however they were split.
    if (!m_events.empty() && m_events.back().kind == CommandEvent::Kind::Unknown) {
        m_events.back().bytes.insert(m_events.back().bytes.end(), bytes.begin(), bytes.end());
    } else {
        m_events.push_back({CommandEvent::Kind::Unknown, {}, Bytes(bytes.begin(), bytes.end())});
    }
    m_changed.notify_all();
}

void Recorder::OnMalformed(ByteView bytes) {
    AddEvent({CommandEvent::Kind::Malformed, {}, Bytes(bytes.begin(), bytes.end())});
}

void Recorder::AddEvent(CommandEvent event) {
    std::lock_guard lock(m_mutex);
    m_events.push_back(std::move(event));
    m_changed.notify_all();
}

Bytes Recorder::Received() const {
    std::lock_guard lock(m_mutex);
    return m_total;
}

std::vector<Bytes> Recorder::ReceivedByConnection() const {
    std::lock_guard lock(m_mutex);
    return m_connections;
}

std::vector<CommandEvent> Recorder::Events() const {
    std::lock_guard lock(m_mutex);
    return m_events;
}

void Recorder::Clear() {
    std::lock_guard lock(m_mutex);
    m_total.clear();
    m_connections.clear();
    m_events.clear();
}

bool Recorder::WaitForReceived(std::size_t count, std::chrono::milliseconds timeout) const {
    std::unique_lock lock(m_mutex);
    return m_changed.wait_for(lock, timeout, [&] { return m_total.size() >= count; });
}

bool Recorder::WaitForEvents(std::size_t count, std::chrono::milliseconds timeout) const {
    std::unique_lock lock(m_mutex);
    return m_changed.wait_for(lock, timeout, [&] { return m_events.size() >= count; });
}

}  // namespace printdeck::vp
