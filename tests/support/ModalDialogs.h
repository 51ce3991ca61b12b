#pragma once

#include <QApplication>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <functional>

// Runs the action on the next modal window of type T once it is open (the test goes on into the call that opens
// it); if the action leaves the window open, it is closed as its close button would, so that no test can hang.
// The returned timer waits until such a window opens: a test that expects none deletes it before it ends.
template <class T> QTimer* WhenModalOpens(const std::function<void(T*)>& action) {
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, action] {
        auto* window = qobject_cast<T*>(QApplication::activeModalWidget());
        // Keys and focus reach the window only once it is active.
        if (!window || !window->isVisible() || !window->isActiveWindow()) return;
        timer->stop();
        timer->deleteLater();
        const QPointer<T> guard(window);
        action(window);
        if (guard && guard->isVisible()) guard->close();
    });
    timer->start();
    return timer;
}
