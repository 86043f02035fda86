// SPDX-License-Identifier: MIT
#include "support/fakes/FakeClock.h"

#include <algorithm>

struct FakeClock::SleepAwaiter {
    FakeClock* clock;
    std::chrono::milliseconds deadline;

    bool await_ready() const noexcept { return false; }
    void await_suspend(std::coroutine_handle<> waiting)
    {
        clock->m_sleepers.push_back({deadline, clock->m_nextID++, waiting, {}});
    }
    void await_resume() const noexcept {}
};

class FakeClock::Timer final : public ClockTimer {
public:
    Timer(FakeClock* clock, quint64 id)
        : m_clock(clock)
        , m_id(id)
    {}
    ~Timer() override
    {
        std::erase_if(m_clock->m_sleepers, [this](const Sleeper& s) { return s.id == m_id; });
    }

private:
    FakeClock* m_clock;
    quint64 m_id;
};

FakeClock::FakeClock(QDateTime wallStart)
    : m_wallStart(std::move(wallStart))
{}

QDateTime FakeClock::wallNow() const
{
    return m_wallStart.addMSecs((m_now - m_wallOffset).count());
}

void FakeClock::setWallNow(const QDateTime& wall)
{
    m_wallStart = wall;
    m_wallOffset = m_now;
}

QCoro::Task<> FakeClock::sleep(std::chrono::milliseconds duration)
{
    co_await SleepAwaiter{this, m_now + std::max(duration, std::chrono::milliseconds(0))};
}

std::unique_ptr<ClockTimer> FakeClock::startTimer(std::chrono::milliseconds duration,
                                                  std::function<void()> fire)
{
    const quint64 id = m_nextID++;
    m_sleepers.push_back(
        {m_now + std::max(duration, std::chrono::milliseconds(0)), id, {}, std::move(fire)});
    return std::make_unique<Timer>(this, id);
}

void FakeClock::advance(std::chrono::milliseconds by)
{
    const auto target = m_now + by;
    while (true) {
        auto next = std::min_element(
            m_sleepers.begin(), m_sleepers.end(), [](const Sleeper& a, const Sleeper& b) {
                return a.deadline < b.deadline || (a.deadline == b.deadline && a.id < b.id);
            });
        if (next == m_sleepers.end() || next->deadline > target)
            break;
        m_now = std::max(m_now, next->deadline);
        const std::coroutine_handle<> waiting = next->waiting;
        const std::function<void()> fire = std::move(next->fire);
        m_sleepers.erase(next);
        if (waiting)
            waiting.resume();
        else
            fire();
    }
    m_now = target;
}
