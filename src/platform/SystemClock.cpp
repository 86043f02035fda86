// SPDX-License-Identifier: MIT
#include "platform/SystemClock.h"

#include <qcoro/qcorotimer.h>

std::chrono::milliseconds SystemClock::monotonicNow() const
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now().time_since_epoch());
}

QDateTime SystemClock::wallNow() const
{
    return QDateTime::currentDateTime();
}

QCoro::Task<> SystemClock::sleep(std::chrono::milliseconds duration)
{
    co_await QCoro::sleepFor(duration);
}
