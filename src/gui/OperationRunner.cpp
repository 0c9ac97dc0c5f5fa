#include "gui/OperationRunner.h"

#include <QMetaObject>

namespace printdeck {

COperationRunner::COperationRunner(QObject* parent) : QObject(parent) {}

COperationRunner::~COperationRunner() {
    if (m_thread != nullptr) {
        m_thread->wait();
        delete m_thread;
    }
}

bool COperationRunner::Start(std::function<void()> work) {
    if (m_thread != nullptr) {
        return false;
    }
    m_thread = QThread::create(std::move(work));
    // Queued to this object's thread: it arrives after every update posted
    // by the work, because both travel through the same event queue.
    connect(m_thread, &QThread::finished, this, &COperationRunner::OnThreadFinished,
            Qt::QueuedConnection);
    m_thread->start();
    return true;
}

void COperationRunner::Post(std::function<void()> update) {
    QMetaObject::invokeMethod(this, std::move(update), Qt::QueuedConnection);
}

void COperationRunner::RunOnUiThread(const std::function<void()>& call) {
    if (QThread::currentThread() == thread()) {
        call();
        return;
    }
    QMetaObject::invokeMethod(this, call, Qt::BlockingQueuedConnection);
}

void COperationRunner::OnThreadFinished() {
    m_thread->wait();
    delete m_thread;
    m_thread = nullptr;
    emit finished();
}

}  // namespace printdeck
