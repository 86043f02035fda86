// SPDX-License-Identifier: MIT
#pragma once

#include <QDateTime>
#include <chrono>
#include <qcoro/qcorotask.h>

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
};
