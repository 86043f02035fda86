// SPDX-License-Identifier: MIT
// The monitor over raw XInput events of the test desktop's X server, with keys pressed and
// released by xdotool through XTest as a user would. Time is the fake clock, moved on only
// once the server's events for a step have arrived, so the 0.3 s limits hold exactly however
// slowly the machine runs the test.
#include "input/DoubleTapMonitor.h"
#include "platform/x11/X11AccessibilityPermission.h"
#include "platform/x11/XInputKeyEventSource.h"
#include "support/DesktopTools.h"
#include "support/TestEnvironment.h"
#include "support/XClient.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

#include <ostream>
#include <vector>

void PrintTo(const KeyEventSource::Event& event, std::ostream* out)
{
    if (event.kind == KeyEventSource::Event::Kind::keyDown)
        *out << "key";
    else
        *out << "flags(0x" << std::hex << event.modifierFlags << std::dec << ')';
}

namespace {

using namespace std::chrono_literals;
using Event = KeyEventSource::Event;

// Passes the events of another source on and keeps a copy of each, so the test knows when
// the server's events have arrived.
class RecordingSource final : public KeyEventSource {
public:
    RecordingSource(std::unique_ptr<KeyEventSource> inner, std::vector<Event>& seen)
        : m_inner(std::move(inner))
        , m_seen(seen)
    {}

    bool start(Handler handler) override
    {
        return m_inner->start([this, handler](const Event& event) {
            m_seen.push_back(event);
            handler(event);
        });
    }
    void stop() override { m_inner->stop(); }

private:
    std::unique_ptr<KeyEventSource> m_inner;
    std::vector<Event>& m_seen;
};

// One xdotool command, how many events it brings, and how long the user waits after it.
struct Step {
    QStringList xdotool;
    size_t events;
    std::chrono::milliseconds then;
};

Step down(const char* key, std::chrono::milliseconds then)
{
    return {{QStringLiteral("keydown"), QString::fromUtf8(key)}, 1, then};
}
Step up(const char* key, std::chrono::milliseconds then)
{
    return {{QStringLiteral("keyup"), QString::fromUtf8(key)}, 1, then};
}
// A release of a key that is not down: nothing must come of it.
Step strayUp(const char* key)
{
    return {{QStringLiteral("keyup"), QString::fromUtf8(key)}, 0, 0ms};
}
// A press and release of an ordinary key: one key press.
Step key(const char* key, std::chrono::milliseconds then)
{
    return {{QStringLiteral("key"), QStringLiteral("--delay"), QStringLiteral("0"),
             QString::fromUtf8(key)},
            1,
            then};
}
std::vector<Step> tap(const char* key, std::chrono::milliseconds then = 120ms)
{
    return {down(key, 80ms), up(key, then)};
}
std::vector<Step> operator+(std::vector<Step> first, const std::vector<Step>& second)
{
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

struct Script {
    const char* name;
    DoubleTapModifier modifier;
    std::vector<Step> steps;
    int fires;
};

void PrintTo(const Script& script, std::ostream* out)
{
    *out << script.name;
}

class DoubleTapMonitorX11Test : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (qEnvironmentVariableIsEmpty("DISPLAY"))
            GTEST_SKIP() << "needs an X display (scripts/test-session --x11)";
        ASSERT_TRUE(permission.isTrusted()) << "the test display lacks XTest or XInput 2";
        keyboard.emplace();
        monitor = std::make_unique<DoubleTapMonitor>(
            std::make_unique<RecordingSource>(std::make_unique<XInputKeyEventSource>(), seen),
            permission, time.clock);
        monitor->onDoubleTap = [this] { ++fired; };
    }

    void TearDown() override
    {
        monitor.reset();
        // Nothing stays held for the next test, whatever failed here.
        (void)xdotool({QStringLiteral("keyup"), QStringLiteral("alt"), QStringLiteral("108"),
                       QStringLiteral("super"), QStringLiteral("a"), QStringLiteral("Tab")});
        keyboard.reset();
    }

    void play(const std::vector<Step>& steps)
    {
        for (const Step& step : steps) {
            const size_t wanted = seen.size() + step.events;
            ASSERT_TRUE(xdotool(step.xdotool));
            ASSERT_TRUE(waitUntil([&] { return seen.size() >= wanted; }))
                << "no event for xdotool " << step.xdotool.join(u' ').toStdString();
            time.clock.advance(step.then);
        }
    }

    ScopedFakeClock time;
    ScopedLogCapture log;
    X11AccessibilityPermission permission;
    std::optional<ScopedKeyboardState> keyboard;
    std::vector<Event> seen;
    std::unique_ptr<DoubleTapMonitor> monitor;
    int fired = 0;
};

class DoubleTapOnDisplay : public DoubleTapMonitorX11Test,
                           public ::testing::WithParamInterface<Script> {};

TEST_P(DoubleTapOnDisplay, firesOnlyForQuickCleanTaps)
{
    monitor->apply(GetParam().modifier);
    play(GetParam().steps);
    EXPECT_EQ(fired, GetParam().fires) << ::testing::PrintToString(seen);
    EXPECT_EQ(log.lines().filter(QStringLiteral("fired")).size(), GetParam().fires);
}

// clang-format off
// (A clean double tap of Alt is the end-to-end PanelKeysTest.)
INSTANTIATE_TEST_SUITE_P(Scripts, DoubleTapOnDisplay, ::testing::Values(
    // Right Alt by its keycode: named, xdotool would press left Alt with it.
    Script{"right-then-left-alt", DoubleTapModifier::option, tap("108") + tap("alt"), 1},
    Script{"command-is-super", DoubleTapModifier::command, tap("super") + tap("super"), 1},
    Script{"alt-tab", DoubleTapModifier::option,
           {down("alt", 50ms), key("Tab", 50ms), up("alt", 100ms),
            down("alt", 50ms), key("Tab", 50ms), up("alt", 100ms)}, 0},
    Script{"stray-release-between-taps", DoubleTapModifier::option,
           tap("alt", 50ms) + std::vector{strayUp("alt")} + tap("alt"), 1}
));
// clang-format on

TEST_F(DoubleTapMonitorX11Test, keysRepeatedWhileHeldAreNoNewPresses)
{
    monitor->apply(DoubleTapModifier::option);
    // The second press of a held key is what key repeat sends; Alt goes down at the end only
    // to mark that the server's events for the letter have all arrived.
    play({down("a", 0ms),
          {{QStringLiteral("keydown"), QStringLiteral("a")}, 0, 0ms},
          {{QStringLiteral("keyup"), QStringLiteral("a")}, 0, 0ms},
          down("alt", 0ms)});
    EXPECT_EQ(seen, (std::vector<Event>{{Event::Kind::keyDown, 0},
                                        {Event::Kind::flagsChanged, KeyEventSource::optionFlag}}));
}

TEST_F(DoubleTapMonitorX11Test, suspensionStopsWatchingUntilResumed)
{
    monitor->apply(DoubleTapModifier::option);
    monitor->setSuspended(true);

    // A listener of its own tells when the server has sent the taps out.
    std::vector<Event> witnessed;
    XInputKeyEventSource witness;
    ASSERT_TRUE(witness.start([&](const Event& event) { witnessed.push_back(event); }));
    for (const char* command : {"keydown", "keyup", "keydown", "keyup"})
        ASSERT_TRUE(xdotool({QString::fromUtf8(command), QStringLiteral("alt")}));
    ASSERT_TRUE(waitUntil([&] { return witnessed.size() == 4; }));
    QCoreApplication::processEvents();
    EXPECT_EQ(fired, 0);
    EXPECT_TRUE(seen.empty());

    monitor->setSuspended(false);
    play(tap("alt") + tap("alt"));
    EXPECT_EQ(fired, 1);
}

} // namespace
