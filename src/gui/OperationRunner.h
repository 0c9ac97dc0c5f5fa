#pragma once

#include <QObject>
#include <QThread>
#include <functional>
#include <memory>
#include <optional>

namespace printdeck {

// Runs one printer operation on a worker thread, so the windows keep
// painting and their buttons answer while a printer is slow or silent. The
// worker owns the core objects it is handed for the length of the operation;
// the window does not touch them until finished() arrives.
//
// From the worker, Post() hands a progress update to the user-interface
// thread (queued, in order) and Ask() runs a question there (a message box,
// an address) while the worker waits for the answer.
class COperationRunner : public QObject {
    Q_OBJECT

public:
    explicit COperationRunner(QObject* parent = nullptr);
    // Waits for a running operation; owners refuse to close while one runs.
    ~COperationRunner() override;

    // Starts `work` on a new worker thread; false while another one runs.
    bool Start(std::function<void()> work);
    bool IsRunning() const { return m_thread != nullptr; }

    // Worker side: runs `update` later on the user-interface thread.
    void Post(std::function<void()> update);
    // Worker side: runs `question` on the user-interface thread and returns
    // its answer. On the user-interface thread itself it runs at once.
    template <typename T>
    T Ask(const std::function<T()>& question) {
        std::optional<T> answer;
        RunOnUiThread([&] { answer = question(); });
        return std::move(*answer);
    }
    void Ask(const std::function<void()>& question) { RunOnUiThread(question); }

signals:
    // The operation returned; every Post() made before has been delivered.
    void finished();

private:
    void RunOnUiThread(const std::function<void()>& call);
    void OnThreadFinished();

    QThread* m_thread = nullptr;
};

}  // namespace printdeck
