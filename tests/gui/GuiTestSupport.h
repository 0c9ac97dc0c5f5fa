#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>
#include <functional>

namespace printdeck::test {

// The window's child of that type and object name; a test failure when absent.
template <typename T>
T* Child(QWidget& window, const char* name) {
    T* child = window.findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(child, nullptr) << name;
    return child;
}

// Runs the event loop until `done` holds or `timeoutMs` passed; true when it held.
inline bool WaitUntil(const std::function<bool()>& done, int timeoutMs = 5000) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > timeoutMs) {
            return false;
        }
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

// Runs `body` on the modal window of type T as soon as one is shown, for
// windows that a button opens with exec().
template <typename T>
void WhenModalShown(const std::function<void(T&)>& body) {
    auto* poll = new QTimer;
    poll->setInterval(10);
    QObject::connect(poll, &QTimer::timeout, [poll, body] {
        if (auto* window = qobject_cast<T*>(QApplication::activeModalWidget())) {
            poll->stop();
            poll->deleteLater();
            body(*window);
        }
    });
    poll->start();
}

}  // namespace printdeck::test
