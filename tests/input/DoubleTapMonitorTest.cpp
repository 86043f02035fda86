// SPDX-License-Identifier: MIT
// The monitor over a recording key-event source, the fake clock and a permission the test
// grants or withholds.
#include "input/DoubleTapMonitor.h"
#include "support/TestEnvironment.h"
#include "support/fakes/FakeAccessibilityPermission.h"
#include "support/fakes/FakeKeyEventSource.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

namespace {

using namespace std::chrono_literals;

constexpr uint64_t shift = KeyEventSource::shiftFlag;
constexpr uint64_t control = KeyEventSource::controlFlag;
constexpr uint64_t option = KeyEventSource::optionFlag;
constexpr uint64_t command = KeyEventSource::commandFlag;

const QString armedOption = QStringLiteral("info hotkey: double-tap ⌥ armed");
const QString waitingOption = QStringLiteral(
    "info hotkey: double-tap ⌥ on, but Accessibility is not granted — waiting for the grant");
const QString granted = QStringLiteral("info hotkey: accessibility granted — arming double-tap");
const QString firedOption = QStringLiteral("info hotkey: double-tap ⌥ fired");

class DoubleTapMonitorTest : public ::testing::Test {
protected:
    DoubleTapMonitorTest()
    {
        auto owned = std::make_unique<FakeKeyEventSource>();
        source = owned.get();
        monitor = std::make_unique<DoubleTapMonitor>(std::move(owned), permission, time.clock);
        monitor->onDoubleTap = [this] { ++fired; };
    }

    // One clean tap of the modifier: down, up 60 ms later, then a pause of `pause`.
    void tap(uint64_t flags, std::chrono::milliseconds pause = 100ms)
    {
        source->flags(flags);
        time.clock.advance(60ms);
        source->flags(0);
        time.clock.advance(pause);
    }

    ScopedFakeClock time;
    ScopedLogCapture log;
    CallJournal journal;
    FakeAccessibilityPermission permission{journal};
    FakeKeyEventSource* source = nullptr;
    std::unique_ptr<DoubleTapMonitor> monitor;
    int fired = 0;
};

TEST_F(DoubleTapMonitorTest, armsTheSourceWhenAModifierIsChosen)
{
    monitor->apply(DoubleTapModifier::option);

    EXPECT_EQ(source->calls, QStringList{QStringLiteral("start")});
    EXPECT_EQ(log.lines(), QStringList{armedOption});
    EXPECT_FALSE(monitor->isWaitingForAccessibility());
    tap(option);
    tap(option);
    EXPECT_EQ(fired, 1);
    EXPECT_EQ(log.lines(), (QStringList{armedOption, firedOption}));
}

TEST_F(DoubleTapMonitorTest, keyPressesSeenOrSwallowedBreakTheTap)
{
    monitor->apply(DoubleTapModifier::option);
    const std::pair<const char*, std::function<void()>> presses[] = {
        {"a key the source saw", [this] { source->key(); }},
        {"a key a global hotkey took", [this] { monitor->noteHotkeyPress(); }},
    };
    for (const auto& [name, press] : presses) {
        SCOPED_TRACE(name);
        // Between the two taps.
        tap(option, 50ms);
        press();
        tap(option, 1s);
        // While the second tap is held.
        tap(option, 100ms);
        source->flags(option);
        press();
        time.clock.advance(60ms);
        source->flags(0);
        time.clock.advance(1s);
        EXPECT_EQ(fired, 0);
    }
}

TEST_F(DoubleTapMonitorTest, everyApplyReArmsFromNothing)
{
    monitor->apply(DoubleTapModifier::option);
    tap(option);
    monitor->apply(DoubleTapModifier::option);
    tap(option);
    EXPECT_EQ(fired, 0) << "the first tap was forgotten by the re-arm";
    tap(option);
    EXPECT_EQ(fired, 1);

    monitor->apply(DoubleTapModifier::off);
    monitor->noteHotkeyPress();
    EXPECT_EQ(source->calls, (QStringList{"start", "stop", "start", "stop"}));
    EXPECT_FALSE(source->isStarted());
    EXPECT_EQ(log.lines(), (QStringList{armedOption, armedOption, firedOption}));
}

TEST_F(DoubleTapMonitorTest, suspensionRemovesTheSourceUntilResumed)
{
    monitor->setSuspended(false);
    monitor->apply(DoubleTapModifier::option);
    tap(option);
    monitor->setSuspended(true);
    monitor->setSuspended(true);
    EXPECT_FALSE(source->isStarted());
    monitor->setSuspended(false);
    tap(option);
    EXPECT_EQ(fired, 0) << "a tap from before the suspension must not pair";
    tap(option);
    EXPECT_EQ(fired, 1);
    EXPECT_EQ(source->calls, (QStringList{"start", "stop", "start"}));

    // A modifier chosen while recording takes effect on resuming.
    monitor->setSuspended(true);
    monitor->apply(DoubleTapModifier::command);
    EXPECT_FALSE(source->isStarted());
    monitor->setSuspended(false);
    tap(command);
    tap(command);
    EXPECT_EQ(fired, 2);
    EXPECT_EQ(source->calls, (QStringList{"start", "stop", "start", "stop", "start"}));
    EXPECT_EQ(log.lines(),
              (QStringList{armedOption, armedOption, firedOption, "info hotkey: double-tap ⌘ armed",
                           "info hotkey: double-tap ⌘ fired"}));
}

TEST_F(DoubleTapMonitorTest, waitsForTheGrantPollingEveryTwoSeconds)
{
    permission.trusted = false;
    QSignalSpy waiting(monitor.get(), &DoubleTapMonitor::isWaitingForAccessibilityChanged);
    monitor->apply(DoubleTapModifier::option);

    EXPECT_TRUE(monitor->isWaitingForAccessibility());
    EXPECT_TRUE(monitor->property("isWaitingForAccessibility").toBool());
    time.clock.advance(6s);
    EXPECT_TRUE(source->calls.isEmpty());
    EXPECT_EQ(log.lines(), QStringList{waitingOption});

    permission.trusted = true;
    time.clock.advance(1999ms);
    EXPECT_TRUE(source->calls.isEmpty());
    time.clock.advance(1ms);

    EXPECT_EQ(log.lines(), (QStringList{waitingOption, granted, armedOption}));
    EXPECT_EQ(source->calls, QStringList{"start"});
    EXPECT_FALSE(monitor->isWaitingForAccessibility());
    ASSERT_EQ(waiting.count(), 2);
    EXPECT_TRUE(waiting.at(0).at(0).toBool());
    EXPECT_FALSE(waiting.at(1).at(0).toBool());
    EXPECT_EQ(time.clock.pendingSleeps(), 0) << "the poll ends once armed";
    tap(option);
    tap(option);
    EXPECT_EQ(fired, 1);
}

TEST_F(DoubleTapMonitorTest, aReArmReplacesTheRunningPoll)
{
    permission.trusted = false;
    monitor->apply(DoubleTapModifier::option);
    time.clock.advance(1s);
    monitor->apply(DoubleTapModifier::option);
    permission.trusted = true;
    time.clock.advance(4s);

    EXPECT_EQ(log.lines(), (QStringList{waitingOption, waitingOption, granted, armedOption}));
    EXPECT_EQ(source->calls, QStringList{"start"});
}

TEST_F(DoubleTapMonitorTest, turningOffOrSuspendingEndsTheWait)
{
    for (bool suspend : {false, true}) {
        SCOPED_TRACE(suspend ? "suspended" : "off");
        permission.trusted = false;
        monitor->setSuspended(false);
        monitor->apply(DoubleTapModifier::option);
        if (suspend)
            monitor->setSuspended(true);
        else
            monitor->apply(DoubleTapModifier::off);
        EXPECT_FALSE(monitor->isWaitingForAccessibility());

        permission.trusted = true;
        time.clock.advance(10s);
        EXPECT_TRUE(source->calls.isEmpty());
        EXPECT_EQ(log.lines().last(), waitingOption);
        EXPECT_EQ(time.clock.pendingSleeps(), 0);
    }
}

TEST_F(DoubleTapMonitorTest, aPollOutlivingItsMonitorDoesNothing)
{
    permission.trusted = false;
    monitor->apply(DoubleTapModifier::option);
    monitor.reset();
    permission.trusted = true;
    time.clock.advance(4s);
    EXPECT_EQ(log.lines(), QStringList{waitingOption});
}

TEST_F(DoubleTapMonitorTest, aSourceThatCannotStartIsTriedAgainOnTheNextReArm)
{
    source->available = false;
    monitor->apply(DoubleTapModifier::option);
    source->available = true;
    monitor->apply(DoubleTapModifier::option);
    // Nothing was installed the first time, so there was nothing to remove.
    EXPECT_EQ(source->calls, (QStringList{"start refused", "start"}));
    tap(option);
    tap(option);
    EXPECT_EQ(fired, 1);
}

TEST_F(DoubleTapMonitorTest, theCallbackMayReArmTheMonitor)
{
    monitor->onDoubleTap = [this] {
        ++fired;
        monitor->apply(DoubleTapModifier::command);
    };
    monitor->apply(DoubleTapModifier::option);
    tap(option);
    tap(option);
    tap(command);
    tap(command);
    EXPECT_EQ(fired, 2);
    EXPECT_EQ(source->calls, (QStringList{"start", "stop", "start", "stop", "start"}));
}

} // namespace
