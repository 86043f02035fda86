// SPDX-License-Identifier: MIT
#include "support/fakes/FakeClock.h"

#include <gtest/gtest.h>

using namespace std::chrono_literals;

namespace {
QCoro::Task<> sleepThenRecord(Clock& clock, std::chrono::milliseconds duration, QStringList& log,
                              QString name)
{
    co_await clock.sleep(duration);
    log.append(name + u'@' + QString::number(clock.monotonicNow().count()));
}
} // namespace

// The fake clock is what every timing test stands on, so its ordering must be exact.
TEST(FakeClock, SleepersWakeInDeadlineOrderAtTheirDeadline)
{
    FakeClock clock;
    QStringList log;
    auto a = sleepThenRecord(clock, 300ms, log, "a");
    auto b = sleepThenRecord(clock, 100ms, log, "b");
    auto c = sleepThenRecord(clock, 300ms, log, "c");
    EXPECT_EQ(clock.pendingSleeps(), 3);
    clock.advance(99ms);
    EXPECT_TRUE(log.isEmpty());
    clock.advance(1ms);
    EXPECT_EQ(log, QStringList({"b@100"}));
    clock.advance(1000ms);
    EXPECT_EQ(log, QStringList({"b@100", "a@300", "c@300"}));
    EXPECT_EQ(clock.monotonicNow(), 1100ms);
    EXPECT_EQ(clock.pendingSleeps(), 0);
}

TEST(FakeClock, WallTimeFollowsAdvance)
{
    FakeClock clock(QDateTime(QDate(2026, 3, 31), QTime(23, 59)));
    clock.advance(60s);
    EXPECT_EQ(clock.wallNow().date(), QDate(2026, 4, 1));
}

TEST(FakeClock, TimersFireOnceUnlessCalledOff)
{
    FakeClock clock;
    int fired = 0;
    int calledOff = 0;
    auto kept = clock.startTimer(200ms, [&] { ++fired; });
    auto dropped = clock.startTimer(100ms, [&] { ++calledOff; });
    dropped.reset();
    EXPECT_EQ(clock.pendingSleeps(), 1);
    clock.advance(199ms);
    EXPECT_EQ(fired, 0);
    clock.advance(1ms);
    clock.advance(1000ms);
    EXPECT_EQ(fired, 1);
    EXPECT_EQ(calledOff, 0);
}
