// SPDX-License-Identifier: MIT
#pragma once

#include "core/Clock.h"

#include <coroutine>
#include <vector>

// A clock that moves only when a test advances it. Sleepers whose time has come resume
// inside advance(), synchronously and in the order of their deadlines.
class FakeClock final : public Clock {
public:
    explicit FakeClock(QDateTime wallStart = QDateTime(QDate(2026, 3, 15), QTime(12, 0)));

    std::chrono::milliseconds monotonicNow() const override { return m_now; }
    QDateTime wallNow() const override;
    QCoro::Task<> sleep(std::chrono::milliseconds duration) override;
    std::unique_ptr<ClockTimer> startTimer(std::chrono::milliseconds duration,
                                           std::function<void()> fire) override;

    void advance(std::chrono::milliseconds by);
    void setWallNow(const QDateTime& wall);
    // How many sleeps and timers are waiting.
    int pendingSleeps() const { return int(m_sleepers.size()); }

private:
    struct Sleeper {
        std::chrono::milliseconds deadline;
        quint64 id;
        // Exactly one of the two is set: a sleeping coroutine or a timer's callback.
        std::coroutine_handle<> waiting;
        std::function<void()> fire;
    };
    struct SleepAwaiter;
    class Timer;
    std::chrono::milliseconds m_now{0};
    QDateTime m_wallStart;
    std::chrono::milliseconds m_wallOffset{0};
    quint64 m_nextID = 1;
    std::vector<Sleeper> m_sleepers;
};
