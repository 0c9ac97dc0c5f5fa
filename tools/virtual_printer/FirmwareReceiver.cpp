#include "FirmwareReceiver.h"

namespace printdeck::vp {

bool FirmwareReceiver::SetFile(const std::string& path) {
    if (!path.empty() && !std::ofstream(path, std::ios::binary | std::ios::trunc).is_open()) {
        return false;
    }
    std::lock_guard lock(m_mutex);
    m_path = path;
    return true;
}

std::string FirmwareReceiver::File() const {
    std::lock_guard lock(m_mutex);
    return m_path;
}

bool FirmwareReceiver::BeginConnection() {
    std::lock_guard lock(m_mutex);
    m_arrivals.clear();
    m_file.close();
    if (m_path.empty()) {
        return false;
    }
    m_file.clear();
    m_file.open(m_path, std::ios::binary | std::ios::trunc);
    // A file that became unwritable still keeps the connection raw: the
    // host is loading firmware either way.
    return true;
}

void FirmwareReceiver::OnReceived(ByteView bytes) {
    std::lock_guard lock(m_mutex);
    m_arrivals.push_back(bytes.size());
    if (m_file.is_open()) {
        m_file.write(reinterpret_cast<const char*>(bytes.data()),
                     static_cast<std::streamsize>(bytes.size()));
    }
}

void FirmwareReceiver::EndConnection() {
    std::lock_guard lock(m_mutex);
    m_file.close();
    ++m_ended;
    m_changed.notify_all();
}

std::vector<std::size_t> FirmwareReceiver::ArrivalSizes() const {
    std::lock_guard lock(m_mutex);
    return m_arrivals;
}

std::size_t FirmwareReceiver::EndedConnections() const {
    std::lock_guard lock(m_mutex);
    return m_ended;
}

bool FirmwareReceiver::WaitForEndedConnections(std::size_t count,
                                               std::chrono::milliseconds timeout) const {
    std::unique_lock lock(m_mutex);
    return m_changed.wait_for(lock, timeout, [&] { return m_ended >= count; });
}

}  // namespace printdeck::vp
