#pragma once

#include <mutex>
#include <utility>

namespace printdeck::vp {

// A value shared between the printer's connection thread and its owner
// (tests change settings and inspect state while the printer runs).
template <typename T>
class Guarded {
public:
    Guarded() = default;
    explicit Guarded(T value) : m_value(std::move(value)) {}
    Guarded(const Guarded&) = delete;
    Guarded& operator=(const Guarded&) = delete;

    T Get() const {
        std::lock_guard lock(m_mutex);
        return m_value;
    }
    void Set(T value) {
        std::lock_guard lock(m_mutex);
        m_value = std::move(value);
    }
    // Runs change(T&) under the lock, for read-modify-write of one field.
    template <typename F>
    void Update(F&& change) {
        std::lock_guard lock(m_mutex);
        change(m_value);
    }

private:
    mutable std::mutex m_mutex;
    T m_value{};
};

}  // namespace printdeck::vp
