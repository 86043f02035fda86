// SPDX-License-Identifier: MIT
#include "input/DoubleTapScript.h"

namespace {

using namespace std::chrono_literals;
using Step = DoubleTapScript::Step;
using Timestamp = DoubleTapDetector::Timestamp;

constexpr uint64_t option = 0x80000;
constexpr uint64_t command = 0x100000;
constexpr uint64_t control = 0x40000;

Step held(uint64_t flags, Timestamp after)
{
    return {Step::Kind::flags, flags, after};
}
Step none(Timestamp after)
{
    return held(0, after);
}
// A key press, whether an event monitor saw it or a global hotkey swallowed it.
Step key(Timestamp after)
{
    return {Step::Kind::key, 0, after};
}

// `count` clean taps of `flags`: down after 0.1 s (the first at once), up after 0.06 s.
std::vector<Step> taps(int count, uint64_t flags = option)
{
    std::vector<Step> steps;
    for (int i = 0; i < count; ++i) {
        steps.push_back(held(flags, i == 0 ? 0ms : 100ms));
        steps.push_back(none(60ms));
    }
    return steps;
}

QString fires(int count)
{
    return count == 1 ? QStringLiteral("expect 1 fire")
                      : QStringLiteral("expect %1 fires").arg(QString::number(count));
}

DoubleTapScript script(const char* name, std::vector<Step> steps, int expected,
                       const char* expectation = nullptr)
{
    return {QString::fromUtf8(name), std::move(steps), expected,
            expectation ? QString::fromUtf8(expectation) : fires(expected)};
}

std::vector<DoubleTapScript> makeScripts()
{
    // clang-format off
    return {
        script("doubletap/clean", {held(option, 0ms), none(80ms), held(option, 120ms), none(80ms)}, 1),
        script("doubletap/at-window-edge", {held(option, 0ms), none(290ms), held(option, 290ms), none(290ms)}, 1),
        script("doubletap/slow-gap", {held(option, 0ms), none(80ms), held(option, 500ms), none(80ms)}, 0),
        script("doubletap/hold-then-tap", {held(option, 0ms), none(1500ms), held(option, 100ms), none(80ms)}, 0),
        script("doubletap/two-holds", {held(option, 0ms), none(900ms), held(option, 100ms), none(900ms)}, 0),
        script("doubletap/chord-opt-cmd", {held(option, 0ms), held(option | command, 50ms), held(option, 50ms), none(50ms),
                                           held(option, 100ms), held(option | command, 50ms), held(option, 50ms), none(50ms)}, 0),
        script("doubletap/chord-cmd-first", {held(command, 0ms), held(option | command, 50ms), held(option, 50ms), none(50ms),
                                             held(option, 100ms), none(50ms)}, 0),
        script("doubletap/key-while-held", {held(option, 0ms), key(40ms), none(40ms), held(option, 100ms), key(40ms), none(40ms)}, 0),
        script("doubletap/carbon-consumed-key", {held(option, 0ms), key(40ms), none(40ms), held(option, 100ms), none(40ms)}, 0),
        script("doubletap/plain-typing", {key(0ms), key(50ms), key(50ms)}, 0),
        // A third tap must not fire again, which "exactly" makes plain in the log.
        script("doubletap/triple", taps(3), 1, "expect exactly 1 fire"),
        script("doubletap/quad", taps(4), 2),
        script("doubletap/other-modifier", taps(2, control), 0),
    };
    // clang-format on
}

} // namespace

std::span<const DoubleTapScript> DoubleTapScript::selfTestScripts()
{
    static const std::vector<DoubleTapScript> scripts = makeScripts();
    return scripts;
}

int DoubleTapScript::countFires(Timestamp start) const
{
    DoubleTapDetector detector(option);
    Timestamp now = start;
    int fired = 0;
    for (const Step& step : steps) {
        now += step.after;
        if (step.kind == Step::Kind::key)
            detector.keyPressed();
        else if (detector.flagsChanged(step.flags, now))
            ++fired;
    }
    return fired;
}
