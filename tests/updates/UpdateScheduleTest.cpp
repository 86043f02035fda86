// SPDX-License-Identifier: MIT
#include "UpdateTestSupport.h"
#include "updates/UpdateConfig.h"

using namespace std::chrono_literals;

namespace {

class UpdateScheduleTest : public UpdateTest {
protected:
    UpdateScheduleTest()
    {
        setDefault("updateChecksAutomatically", true);
        serveFeed(appcastOf({newerItem}));
    }
};

TEST_F(UpdateScheduleTest, AScheduledFindWaitsBehindANotice)
{
    start();
    fakeClock.clock.advance(3599s);
    EXPECT_TRUE(server.requests().isEmpty());
    log.sink.clear();
    fakeClock.clock.advance(1s);
    ASSERT_TRUE(settle());
    EXPECT_EQ(updateLines(),
              (QStringList{"appcast loaded — 1 item(s)", "found 999.1 (build 999.1.0)",
                           "showing update 999.1 (scheduled)"}));
    EXPECT_EQ(driver->events, (QStringList{"notice 999.1", "offer 999.1 (999.1.0)"}));

    // Clicking the notice is the user's attention: the notice goes.
    driver->onUserAttention();
    EXPECT_EQ(driver->events.last(), "clear notice");
    // A check while the offer is open brings it forward instead of starting anew, and the
    // schedule does not interrupt it.
    driver->events.clear();
    controller->checkForUpdates();
    fakeClock.clock.advance(3600s);
    EXPECT_EQ(driver->events, QStringList{"activate"});
    EXPECT_EQ(server.requests().size(), 1);

    // The next check is one interval after this one ended.
    driver->answer(UpdateChoice::remindLater);
    fakeClock.clock.advance(3599s);
    EXPECT_EQ(server.requests().size(), 1);
    fakeClock.clock.advance(1s);
    ASSERT_TRUE(settle());
    EXPECT_EQ(server.requests().size(), 2);
}

TEST_F(UpdateScheduleTest, TheFirstLaunchStartsTheClockAndAnOverdueCheckRunsAtOnce)
{
    start();
    EXPECT_EQ(UpdateConfig::lastCheck(), fakeClock.clock.wallNow());
    controller.reset();

    setDefault("lastUpdateCheck", fakeClock.clock.wallNow().addDays(-2).toString(Qt::ISODate));
    start();
    fakeClock.clock.advance(0ms);
    ASSERT_TRUE(settle());
    EXPECT_EQ(server.requests().size(), 1);

    // A check half an interval ago waits for the other half.
    driver->answer(UpdateChoice::remindLater);
    controller.reset();
    setDefault("lastUpdateCheck", fakeClock.clock.wallNow().addSecs(-1800).toString(Qt::ISODate));
    start();
    fakeClock.clock.advance(1799s);
    EXPECT_EQ(server.requests().size(), 1);
    fakeClock.clock.advance(1s);
    ASSERT_TRUE(settle());
    EXPECT_EQ(server.requests().size(), 2);
}

// A skipped version and a failure stay quiet on the schedule; the user's own check still
// offers the skipped version.
TEST_F(UpdateScheduleTest, ScheduledChecksThatFindNothingNewAreOnlyLogged)
{
    start();
    controller->checkForUpdates();
    ASSERT_TRUE(settle());
    driver->answer(UpdateChoice::skipThisVersion);
    EXPECT_EQ(UpdateConfig::skippedVersion(), "999.1.0");
    log.sink.clear();
    driver->events.clear();
    fakeClock.clock.advance(3600s);
    ASSERT_TRUE(settle());
    EXPECT_EQ(updateLines(),
              (QStringList{"appcast loaded — 1 item(s)", "no update: You’re up to date!",
                           "update session finished — back to accessory"}));
    EXPECT_EQ(driver->events, sessionEnded);

    serveFeed("<html>maintenance</html>");
    driver->events.clear();
    fakeClock.clock.advance(3600s);
    ASSERT_TRUE(settle());
    EXPECT_EQ(
        updateLines("error"),
        QStringList{"aborted (SUError 1000): An error occurred while parsing the update feed."});
    EXPECT_EQ(driver->events, sessionEnded);

    serveFeed(appcastOf({newerItem}));
    controller->checkForUpdates();
    ASSERT_TRUE(settle());
    EXPECT_EQ(driver->events.last(), "offer 999.1 (999.1.0)");
}

TEST_F(UpdateScheduleTest, OffMeansNoScheduledChecks)
{
    setDefault("updateChecksAutomatically", false);
    start();
    fakeClock.clock.advance(std::chrono::hours(24 * 7));
    EXPECT_EQ(fakeClock.clock.pendingSleeps(), 0);
    EXPECT_TRUE(server.requests().isEmpty());
}

} // namespace
