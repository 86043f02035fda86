// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <coroutine>
#include <vector>

// Where coroutines wait for "something happened" (the next event of a connection, a
// deadline): `co_await wakeup.next()` suspends until wake() or wakeLater() resumes every
// waiter at once, which then looks again at what it waits for. Main thread only; the
// waiters must not outlive it.
class Wakeup {
public:
    // What `co_await` takes; it may be copied, so it only refers to the wakeup.
    struct Awaiter {
        Wakeup& wakeup;
        bool await_ready() const noexcept { return false; }
        void await_suspend(std::coroutine_handle<> waiter) { wakeup.m_waiters.push_back(waiter); }
        void await_resume() const noexcept {}
    };
    Awaiter next() { return Awaiter{*this}; }

    void wake()
    {
        std::vector<std::coroutine_handle<>> waiters;
        waiters.swap(m_waiters);
        for (std::coroutine_handle<> waiter : waiters)
            waiter.resume();
    }
    // From the event loop, never from inside the caller: an event handler that resumed its
    // waiters directly could be re-entered by them.
    void wakeLater()
    {
        QMetaObject::invokeMethod(
            &m_context, [this] { wake(); }, Qt::QueuedConnection);
    }

private:
    std::vector<std::coroutine_handle<>> m_waiters;
    QObject m_context;
};
