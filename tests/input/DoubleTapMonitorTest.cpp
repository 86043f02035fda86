// SPDX-License-Identifier: MIT
// The monitor over a recording key-event source, the fake clock and a permission the test
// grants or withholds: the wait for the grant, and the re-arm from nothing on every change.
// (The taps themselves: DoubleTapDetectorTest; on a real display: e2e PanelTriggerTest.)
#include "input/DoubleTapMonitor.h"
#include "support/TestEnvironment.h"
#include "support/fakes/FakeAccessibilityPermission.h"
#include "support/fakes/FakeKeyEventSource.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

namespace {

using namespace std::chrono_literals;

TEST(DoubleTapMonitorTest, WaitsForTheGrantThenArmsAndEveryChangeReArmsFromNothing)
{
    FakeClock time;
    ScopedLogCapture log;
    FakeAccessibilityPermission permission;
    auto owned = std::make_unique<FakeKeyEventSource>();
    FakeKeyEventSource& source = *owned;
    DoubleTapMonitor monitor(std::move(owned), permission, time);
    int taps = 0;
    monitor.onDoubleTap = [&] { ++taps; };
    const auto tap = [&] {
        source.flags(KeyEventSource::optionFlag);
        time.advance(60ms);
        source.flags(0);
        time.advance(100ms);
    };

    permission.trusted = false;
    QSignalSpy waiting(&monitor, &DoubleTapMonitor::isWaitingForAccessibilityChanged);
    monitor.apply(DoubleTapModifier::option);
    EXPECT_TRUE(monitor.isWaitingForAccessibility()); // the settings show the hint meanwhile
    time.advance(1s);
    permission.trusted = true;
    time.advance(999ms);
    EXPECT_FALSE(source.isStarted());
    time.advance(1ms);
    EXPECT_EQ(log.lines(),
              QStringList({"info hotkey: double-tap ⌥ on, but Accessibility is not granted — "
                           "waiting for the grant",
                           "info hotkey: accessibility granted — arming double-tap",
                           "info hotkey: double-tap ⌥ armed"}));
    EXPECT_EQ(waiting.value(waiting.size() - 1), QVariantList{false});
    EXPECT_EQ(time.pendingSleeps(), 0) << "the poll ends once armed";

    // A re-arm forgets a tap half seen before it.
    tap();
    monitor.apply(DoubleTapModifier::option);
    tap();
    EXPECT_EQ(taps, 0);
    tap();
    EXPECT_EQ(taps, 1);
    monitor.apply(DoubleTapModifier::off);
    EXPECT_FALSE(source.isStarted());
}

} // namespace
