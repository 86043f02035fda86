// SPDX-License-Identifier: MIT
// Event scripts fed to a detector watching Option, each mapped to the number of double taps it
// must produce: the edges and cases beyond the sequences the built-in hotkey self-test runs
// (HotkeySelfTestX11Test runs those).
#include "input/DoubleTapDetector.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using namespace std::chrono_literals;
using Timestamp = DoubleTapDetector::Timestamp;

constexpr uint64_t shift = 0x20000, control = 0x40000, option = 0x80000, command = 0x100000;
constexpr uint64_t capsLock = 0x10000;
// The device-dependent bits that come with the left and the right key of a modifier.
constexpr uint64_t leftOption = option | 0x20, rightOption = option | 0x40;
// Stands for a key press, whether the monitor saw it or a global hotkey swallowed it.
constexpr uint64_t key = ~uint64_t(0);

// The full modifier mask after a flags change (or `key`), `after` the previous event.
struct Event {
    uint64_t flags;
    Timestamp after;
};

Event held(uint64_t flags, Timestamp after)
{
    return {flags, after};
}
Event none(Timestamp after)
{
    return {0, after};
}

// Two clean taps of `flags`: down, up after 0.06 s, down again 0.1 s later, up.
std::vector<Event> doubleTap(uint64_t flags)
{
    return {held(flags, 0ms), none(60ms), held(flags, 100ms), none(60ms)};
}

int countDoubleTaps(DoubleTapDetector& detector, const std::vector<Event>& events, Timestamp now)
{
    int fired = 0;
    for (const Event& event : events) {
        now += event.after;
        if (event.flags == key)
            detector.keyPressed();
        else if (detector.flagsChanged(event.flags, now))
            ++fired;
    }
    return fired;
}

TEST(DoubleTapDetectorTest, FiresTheExpectedNumberOfDoubleTaps)
{
    const struct {
        const char* name;
        std::vector<Event> events;
        int doubleTaps;
    } rows[] = {
        // clang-format off
        // Both limits include exactly 0.3 s; a tenth of a millisecond more is too slow.
        {"hold-exactly-limit", {held(option, 0ms), none(300ms), held(option, 100ms), none(80ms)}, 1},
        {"hold-over-limit", {held(option, 0ms), none(300100us), held(option, 100ms), none(80ms)}, 0},
        {"second-hold-exactly-limit", {held(option, 0ms), none(80ms), held(option, 100ms), none(300ms)}, 1},
        {"second-hold-over-limit", {held(option, 0ms), none(80ms), held(option, 100ms), none(300100us)}, 0},
        {"gap-exactly-limit", {held(option, 0ms), none(80ms), held(option, 300ms), none(80ms)}, 1},
        {"gap-over-limit", {held(option, 0ms), none(80ms), held(option, 300100us), none(80ms)}, 0},
        // Left and right keys are one modifier.
        {"left-then-right", {held(leftOption, 0ms), none(80ms), held(rightOption, 100ms), none(80ms)}, 1},
        // Caps Lock and Fn are ignored as modifiers, but a change of them alone is a flags change
        // with nothing relevant held, and one while the watched key is down spoils that press.
        {"caps-lock-on-throughout", {held(capsLock, 0ms), held(option | capsLock, 100ms), held(capsLock, 80ms), held(option | capsLock, 100ms), held(capsLock, 80ms)}, 1},
        {"caps-lock-between-taps", {held(option, 0ms), none(80ms), held(capsLock, 50ms), held(option | capsLock, 50ms), held(capsLock, 80ms)}, 0},
        {"caps-lock-while-held", {held(option, 0ms), held(option | capsLock, 40ms), held(capsLock, 40ms), held(option | capsLock, 100ms), held(capsLock, 60ms)}, 0},
        // A key typed after the first tap breaks the pair.
        {"key-between-taps", {held(option, 0ms), none(80ms), held(key, 50ms), held(option, 50ms), none(80ms)}, 0},
        // A release whose press came before the detector existed is no tap.
        {"release-of-unseen-press", {none(0ms), held(option, 100ms), none(80ms)}, 0},
        // A spoilt press does not spoil the presses after it.
        {"double-tap-after-chord", {held(option, 0ms), held(option | command, 50ms), held(option, 50ms), none(50ms), held(option, 300ms), none(60ms), held(option, 100ms), none(60ms)}, 1},
        // A too-long hold forgets everything; the next pair still counts.
        {"recovers-after-long-hold", {held(option, 0ms), none(80ms), held(option, 100ms), none(500ms), held(option, 100ms), none(80ms), held(option, 100ms), none(80ms)}, 1},
        // clang-format on
    };
    for (const auto& row : rows) {
        // The monitor's clock counts from boot, so a script must behave the same days into a
        // session, where seconds in a double would have lost the exact edges.
        for (Timestamp start : {Timestamp{0}, Timestamp{259'200'700'000}}) {
            SCOPED_TRACE(::testing::Message() << row.name << " from " << start.count() << " us");
            DoubleTapDetector detector(option);
            EXPECT_EQ(countDoubleTaps(detector, row.events, start), row.doubleTaps);
        }
    }
}

TEST(DoubleTapDetectorTest, WatchesOnlyItsOwnModifier)
{
    for (uint64_t watched : {shift, control, option, command}) {
        for (uint64_t tapped : {shift, control, option, command}) {
            SCOPED_TRACE(::testing::Message() << std::hex << watched << " tapping " << tapped);
            DoubleTapDetector detector(watched);
            EXPECT_EQ(countDoubleTaps(detector, doubleTap(tapped), 0ms), tapped == watched);
        }
    }
}

} // namespace
