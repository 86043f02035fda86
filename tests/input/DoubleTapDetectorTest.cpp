// SPDX-License-Identifier: MIT
// Event scripts fed to a detector watching Option, each mapped to the number of double taps it
// must produce: the edges and cases beyond the sequences the built-in hotkey self-test runs
// (HotkeySelfTestTest runs those).
#include "input/DoubleTapDetector.h"

#include <gtest/gtest.h>

#include <array>
#include <ostream>
#include <string>
#include <vector>

namespace {

using namespace std::chrono_literals;
using Timestamp = DoubleTapDetector::Timestamp;

constexpr uint64_t shift = 0x20000;
constexpr uint64_t control = 0x40000;
constexpr uint64_t option = 0x80000;
constexpr uint64_t command = 0x100000;
constexpr uint64_t capsLock = 0x10000;
constexpr uint64_t function = 0x800000;
// The device-dependent bits that come with the left and the right key of a modifier.
constexpr uint64_t leftOption = option | 0x20;
constexpr uint64_t rightOption = option | 0x40;

struct Event {
    enum class Kind { flags, key };
    Kind kind;
    uint64_t flags;  // the full modifier mask after a flags change
    Timestamp after; // since the previous event
};

Event held(uint64_t flags, Timestamp after)
{
    return {Event::Kind::flags, flags, after};
}
Event none(Timestamp after)
{
    return held(0, after);
}
// A key press, whether the monitor saw it or a global hotkey swallowed it.
Event key(Timestamp after)
{
    return {Event::Kind::key, 0, after};
}

// `count` clean taps of `flags`: down after 0.1 s (the first at once), up after 0.06 s.
std::vector<Event> taps(int count, uint64_t flags = option)
{
    std::vector<Event> events;
    for (int i = 0; i < count; ++i) {
        events.push_back(held(flags, i == 0 ? 0ms : 100ms));
        events.push_back(none(60ms));
    }
    return events;
}

struct Sequence {
    std::string name;
    std::vector<Event> events;
    int doubleTaps;
};

void PrintTo(const Sequence& sequence, std::ostream* out)
{
    *out << sequence.name;
}

int countDoubleTaps(DoubleTapDetector& detector, const std::vector<Event>& events, Timestamp start)
{
    int fired = 0;
    Timestamp now = start;
    for (const Event& event : events) {
        now += event.after;
        if (event.kind == Event::Kind::key) {
            detector.keyPressed();
        } else if (detector.flagsChanged(event.flags, now)) {
            ++fired;
        }
    }
    return fired;
}

// clang-format off
const std::vector<Sequence> sequences = {
    // Both limits include exactly 0.3 s; a tenth of a millisecond more is too slow.
    {"hold-exactly-limit", {held(option, 0ms), none(300ms), held(option, 100ms), none(80ms)}, 1},
    {"hold-over-limit", {held(option, 0ms), none(300100us), held(option, 100ms), none(80ms)}, 0},
    {"second-hold-exactly-limit", {held(option, 0ms), none(80ms), held(option, 100ms), none(300ms)}, 1},
    {"second-hold-over-limit", {held(option, 0ms), none(80ms), held(option, 100ms), none(300100us)}, 0},
    {"gap-exactly-limit", {held(option, 0ms), none(80ms), held(option, 300ms), none(80ms)}, 1},
    {"gap-over-limit", {held(option, 0ms), none(80ms), held(option, 300100us), none(80ms)}, 0},

    // Left and right keys are one modifier.
    {"right-key", taps(2, rightOption), 1},
    {"left-then-right", {held(leftOption, 0ms), none(80ms), held(rightOption, 100ms), none(80ms)}, 1},

    // Caps Lock and Fn are ignored as modifiers, but a change of them alone is a flags change
    // with nothing relevant held, and one while the watched key is down spoils that press.
    {"caps-lock-on-throughout", {held(capsLock, 0ms), held(option | capsLock, 100ms), held(capsLock, 80ms),
                                 held(option | capsLock, 100ms), held(capsLock, 80ms)}, 1},
    {"caps-lock-between-taps", {held(option, 0ms), none(80ms), held(capsLock, 50ms),
                                held(option | capsLock, 50ms), held(capsLock, 80ms)}, 0},
    {"caps-lock-while-held", {held(option, 0ms), held(option | capsLock, 40ms), held(capsLock, 40ms),
                              held(option | capsLock, 100ms), held(capsLock, 60ms)}, 0},
    {"fn-held-throughout", {held(function, 0ms), held(option | function, 50ms), held(function, 80ms),
                            held(option | function, 100ms), held(function, 80ms)}, 1},

    // A key typed after the first tap breaks the pair.
    {"key-between-taps", {held(option, 0ms), none(80ms), key(50ms), held(option, 50ms), none(80ms)}, 0},
    // A release whose press came before the detector existed is no tap.
    {"release-of-unseen-press", {none(0ms), held(option, 100ms), none(80ms)}, 0},
    // A spoilt press does not spoil the presses after it.
    {"double-tap-after-chord", {held(option, 0ms), held(option | command, 50ms), held(option, 50ms), none(50ms),
                                held(option, 300ms), none(60ms), held(option, 100ms), none(60ms)}, 1},
    // A too-long hold forgets everything; the next pair still counts.
    {"recovers-after-long-hold", {held(option, 0ms), none(80ms), held(option, 100ms), none(500ms),
                                  held(option, 100ms), none(80ms), held(option, 100ms), none(80ms)}, 1},
};
// clang-format on

class DoubleTapSequenceTest : public ::testing::TestWithParam<Sequence> {};

TEST_P(DoubleTapSequenceTest, firesTheExpectedNumberOfDoubleTaps)
{
    // The monitor's clock counts from boot, so a script must behave the same days into a
    // session, where seconds in a double would have lost the exact edges.
    for (Timestamp start : {Timestamp{0}, Timestamp{259'200'700'000}}) {
        SCOPED_TRACE(::testing::Message() << "starting at " << start.count() << " us");
        DoubleTapDetector detector(option);
        EXPECT_EQ(countDoubleTaps(detector, GetParam().events, start), GetParam().doubleTaps);
    }
}

INSTANTIATE_TEST_SUITE_P(Scripts, DoubleTapSequenceTest, ::testing::ValuesIn(sequences),
                         [](const ::testing::TestParamInfo<Sequence>& info) {
                             std::string name = info.param.name;
                             for (char& c : name) {
                                 if (!std::isalnum(static_cast<unsigned char>(c)))
                                     c = '_';
                             }
                             return name;
                         });

TEST(DoubleTapDetectorTest, watchesOnlyItsOwnModifier)
{
    const std::array<uint64_t, 4> modifiers = {shift, control, option, command};
    for (uint64_t watched : modifiers) {
        for (uint64_t tapped : modifiers) {
            SCOPED_TRACE(::testing::Message()
                         << std::hex << "watching 0x" << watched << ", tapping 0x" << tapped);
            DoubleTapDetector detector(watched);
            EXPECT_EQ(countDoubleTaps(detector, taps(2, tapped), 0ms), tapped == watched ? 1 : 0);
        }
    }
}

} // namespace
