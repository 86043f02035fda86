// SPDX-License-Identifier: MIT
// The monitor over a recording key-event source, the fake clock and a permission the test
// grants or withholds. (Taps on a real display: DoubleTapMonitorX11Test.)
#include "input/DoubleTapMonitor.h"
#include "support/TestEnvironment.h"
#include "support/fakes/FakeAccessibilityPermission.h"
#include "support/fakes/FakeKeyEventSource.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

namespace {

using namespace std::chrono_literals;

constexpr uint64_t option = KeyEventSource::optionFlag;
constexpr uint64_t command = KeyEventSource::commandFlag;

const QString armed = QStringLiteral("info hotkey: double-tap ⌥ armed");
const QString waiting = QStringLiteral(
    "info hotkey: double-tap ⌥ on, but Accessibility is not granted — waiting for the grant");
const QString granted = QStringLiteral("info hotkey: accessibility granted — arming double-tap");
const QString fired = QStringLiteral("info hotkey: double-tap ⌥ fired");

class DoubleTapMonitorTest : public ::testing::Test {
protected:
    DoubleTapMonitorTest()
    {
        auto owned = std::make_unique<FakeKeyEventSource>();
        source = owned.get();
        monitor = std::make_unique<DoubleTapMonitor>(std::move(owned), permission, time.clock);
        monitor->onDoubleTap = [this] { ++taps; };
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
    FakeAccessibilityPermission permission;
    FakeKeyEventSource* source = nullptr;
    std::unique_ptr<DoubleTapMonitor> monitor;
    int taps = 0;
};

TEST_F(DoubleTapMonitorTest, EveryApplyReArmsFromNothingAndKeyPressesBreakATap)
{
    monitor->apply(DoubleTapModifier::option);
    EXPECT_EQ(source->calls, QStringList{"start"});
    EXPECT_FALSE(monitor->isWaitingForAccessibility());
    tap(option);
    monitor->apply(DoubleTapModifier::option);
    tap(option);
    EXPECT_EQ(taps, 0) << "the first tap was forgotten by the re-arm";
    tap(option);
    EXPECT_EQ(taps, 1);
    EXPECT_EQ(log.lines(), (QStringList{armed, armed, fired}));

    const std::pair<const char*, std::function<void()>> presses[] = {
        {"a key the source saw", [this] { source->key(); }},
        {"a key a global hotkey took", [this] { monitor->noteHotkeyPress(); }},
    };
    for (const auto& [name, press] : presses) {
        SCOPED_TRACE(name);
        time.clock.advance(1s);
        tap(option, 50ms); // between the two taps
        press();
        tap(option, 1s);
        tap(option, 100ms); // while the second tap is held
        source->flags(option);
        press();
        time.clock.advance(60ms);
        source->flags(0);
        EXPECT_EQ(taps, 1);
    }
    monitor->apply(DoubleTapModifier::off);
    EXPECT_EQ(source->calls, (QStringList{"start", "stop", "start", "stop"}));
    EXPECT_FALSE(source->isStarted());
}

TEST_F(DoubleTapMonitorTest, SuspensionRemovesTheSourceUntilResumed)
{
    monitor->apply(DoubleTapModifier::option);
    tap(option);
    monitor->setSuspended(true);
    monitor->setSuspended(true);
    EXPECT_FALSE(source->isStarted());
    monitor->setSuspended(false);
    tap(option);
    EXPECT_EQ(taps, 0) << "a tap from before the suspension must not pair";
    // A modifier chosen while recording takes effect on resuming.
    monitor->setSuspended(true);
    monitor->apply(DoubleTapModifier::command);
    EXPECT_FALSE(source->isStarted());
    monitor->setSuspended(false);
    tap(command);
    tap(command);
    EXPECT_EQ(taps, 1);
    EXPECT_EQ(source->calls, (QStringList{"start", "stop", "start", "stop", "start"}));
    EXPECT_EQ(log.lines().last(), "info hotkey: double-tap ⌘ fired");
}

TEST_F(DoubleTapMonitorTest, WaitsForTheGrantPollingEveryTwoSeconds)
{
    permission.trusted = false;
    QSignalSpy waitingChanged(monitor.get(), &DoubleTapMonitor::isWaitingForAccessibilityChanged);
    monitor->apply(DoubleTapModifier::option);
    EXPECT_TRUE(monitor->property("isWaitingForAccessibility").toBool());
    time.clock.advance(1s);
    monitor->apply(DoubleTapModifier::option); // a re-arm replaces the running poll
    time.clock.advance(6s);
    permission.trusted = true;
    time.clock.advance(1999ms);
    EXPECT_TRUE(source->calls.isEmpty());
    time.clock.advance(1ms);

    EXPECT_EQ(log.lines(), (QStringList{waiting, waiting, granted, armed}));
    EXPECT_EQ(source->calls, QStringList{"start"});
    EXPECT_FALSE(monitor->isWaitingForAccessibility());
    ASSERT_FALSE(waitingChanged.isEmpty());
    EXPECT_FALSE(waitingChanged.last().at(0).toBool());
    EXPECT_EQ(time.clock.pendingSleeps(), 0) << "the poll ends once armed";
    tap(option);
    tap(option);
    EXPECT_EQ(taps, 1);
}

TEST_F(DoubleTapMonitorTest, TurningOffSuspendingOrDestroyingEndsTheWait)
{
    for (const char* ending : {"off", "suspended", "destroyed"}) {
        SCOPED_TRACE(ending);
        permission.trusted = false;
        monitor->setSuspended(false);
        log.sink.clear();
        monitor->apply(DoubleTapModifier::option);
        if (ending == std::string("off"))
            monitor->apply(DoubleTapModifier::off);
        else if (ending == std::string("suspended"))
            monitor->setSuspended(true);
        else
            monitor.reset();
        EXPECT_FALSE(monitor && monitor->isWaitingForAccessibility());
        permission.trusted = true;
        time.clock.advance(10s);
        EXPECT_TRUE(!monitor || source->calls.isEmpty()); // the source went with its monitor
        EXPECT_EQ(log.lines(), QStringList{waiting});
        EXPECT_EQ(time.clock.pendingSleeps(), 0);
    }
}

TEST_F(DoubleTapMonitorTest, ASourceThatCannotStartIsTriedAgainAndTheCallbackMayReArm)
{
    source->available = false;
    monitor->apply(DoubleTapModifier::option);
    source->available = true;
    monitor->apply(DoubleTapModifier::option);
    // Nothing was installed the first time, so there was nothing to remove.
    EXPECT_EQ(source->calls, (QStringList{"start refused", "start"}));

    monitor->onDoubleTap = [this] {
        ++taps;
        monitor->apply(DoubleTapModifier::command);
    };
    tap(option);
    tap(option);
    tap(command);
    tap(command);
    EXPECT_EQ(taps, 2);
    EXPECT_EQ(source->calls,
              (QStringList{"start refused", "start", "stop", "start", "stop", "start"}));
}

} // namespace
