// SPDX-License-Identifier: MIT
#include "core/SystemClock.h"

#include <QTimer>
#include <qcoro/qcorotimer.h>

namespace {
class QtClockTimer final : public ClockTimer {
public:
    QtClockTimer(std::chrono::milliseconds duration, std::function<void()> fire)
    {
        m_timer.setSingleShot(true);
        QObject::connect(&m_timer, &QTimer::timeout, std::move(fire));
        m_timer.start(duration);
    }

private:
    QTimer m_timer;
};
} // namespace

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

std::unique_ptr<ClockTimer> SystemClock::startTimer(std::chrono::milliseconds duration,
                                                    std::function<void()> fire)
{
    return std::make_unique<QtClockTimer>(duration, std::move(fire));
}
