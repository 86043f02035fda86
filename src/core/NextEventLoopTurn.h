// SPDX-License-Identifier: MIT
#pragma once

#include <QCoreApplication>
#include <coroutine>

// `co_await NextEventLoopTurn{}` resumes the coroutine from the event loop, on a later turn.
// An awaited network reply or process resumes its waiter from inside its own finished()
// signal, where neither it nor its manager may be deleted; the frame that owns them ends
// after this.
struct NextEventLoopTurn {
    bool await_ready() const noexcept { return false; }
    void await_suspend(std::coroutine_handle<> waiting) const
    {
        QMetaObject::invokeMethod(
            QCoreApplication::instance(), [waiting] { waiting.resume(); }, Qt::QueuedConnection);
    }
    void await_resume() const noexcept {}
};
