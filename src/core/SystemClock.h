// SPDX-License-Identifier: MIT
#pragma once

#include "core/Clock.h"

// The real clock: steady time, local calendar time and Qt timers for sleeps.
class SystemClock final : public Clock {
public:
    std::chrono::milliseconds monotonicNow() const override;
    QDateTime wallNow() const override;
    QCoro::Task<> sleep(std::chrono::milliseconds duration) override;
    std::unique_ptr<ClockTimer> startTimer(std::chrono::milliseconds duration,
                                           std::function<void()> fire) override;
};
