// SPDX-License-Identifier: MIT
#pragma once

#include <QDateTime>
#include <chrono>
#include <functional>
#include <memory>
#include <qcoro/qcorotask.h>

// A pending one-shot timer. Destroying it calls the timer off.
class ClockTimer {
public:
    ClockTimer() = default;
    ClockTimer(const ClockTimer&) = delete;
    ClockTimer& operator=(const ClockTimer&) = delete;
    virtual ~ClockTimer() = default;
};

// Time, as a port so that tests can drive it. Main thread only.
class Clock {
public:
    Clock() = default;
    Clock(const Clock&) = delete;
    Clock& operator=(const Clock&) = delete;
    virtual ~Clock() = default;

    // Monotonic time since an arbitrary origin; never goes backwards.
    virtual std::chrono::milliseconds monotonicNow() const = 0;
    // The local wall-clock date and time, for calendar questions such as the usage month.
    virtual QDateTime wallNow() const = 0;
    // Resumes the awaiting coroutine on the main thread once the time has passed.
    virtual QCoro::Task<> sleep(std::chrono::milliseconds duration) = 0;
    // Calls `fire` once on the main thread after the duration, unless the returned timer
    // has been destroyed by then. For time-outs that are usually called off.
    [[nodiscard]] virtual std::unique_ptr<ClockTimer> startTimer(std::chrono::milliseconds duration,
                                                                 std::function<void()> fire) = 0;
};
