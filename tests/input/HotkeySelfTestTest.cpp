// SPDX-License-Identifier: MIT
// The built-in hotkey self-test against the real hotkey manager over a fake desktop: when it
// runs, and how it reports a desktop that fails its conflict checks. (The run in which every
// check passes is HotkeySelfTestX11Test, with real grabs.)
#include "input/BuiltInHotkeySelfTest.h"
#include "input/HotkeyManager.h"
#include "settings/Preferences.h"
#include "settings/UserDefaults.h"
#include "support/TestEnvironment.h"
#include "support/fakes/FakeKeyGrabber.h"
#include "support/fakes/FakeKeyboardLayout.h"

#include <gtest/gtest.h>

namespace {

const HotkeyShortcut optionCommandT{17, 0x900};
const HotkeyShortcut controlOptionF13{105, 0x1800};

class HotkeySelfTestTest : public ::testing::Test {
protected:
    HotkeySelfTestTest()
    {
        auto owned = std::make_unique<FakeKeyGrabber>(layout);
        desktop = owned.get();
        manager.emplace(std::move(owned), layout);
        EXPECT_TRUE(manager->registerShortcut(optionCommandT));
        desktop->calls.clear();
        log.sink.clear();
    }

    // Runs the self-test with a rival grabber that refuses `refused` (grabbing on a desktop
    // of its own, so the manager is never refused); answers the lines it logged.
    QStringList run(std::optional<HotkeyShortcut> refused = std::nullopt)
    {
        BuiltInHotkeySelfTest selfTest(
            [&] {
                ++rivalsMade;
                auto rival = std::make_unique<FakeKeyGrabber>(layout);
                if (refused)
                    rival->refuse(*refused, 10);
                return rival;
            },
            layout, preferences);
        selfTest.runIfRequested(*manager);
        return log.lines();
    }

    ScopedConfigHome home;
    Preferences preferences{UserDefaults::standard()};
    ScopedLogCapture log;
    FakeKeyboardLayout layout{{17, "t"}, {5, "g"}, {12, "q"}, {18, "1"}, {21, "4"}, {23, "5"}};
    FakeKeyGrabber* desktop = nullptr;
    std::optional<HotkeyManager> manager;
    int rivalsMade = 0;
};

TEST_F(HotkeySelfTestTest, DoesNothingUnlessAskedFor)
{
    EXPECT_TRUE(run().isEmpty());
    preferences.setFlag(DefaultsKey::hotkeySelfTest, false);
    EXPECT_TRUE(run().isEmpty());
    EXPECT_EQ(rivalsMade, 0);
    EXPECT_TRUE(desktop->calls.isEmpty());
}

TEST_F(HotkeySelfTestTest, ReportsADesktopThatFailsTheConflictChecks)
{
    preferences.setFlag(DefaultsKey::hotkeySelfTest, true);
    // A rival that cannot take the key ends the conflict checks.
    QStringList lines = run(controlOptionF13);
    EXPECT_EQ(lines.mid(lines.size() - 2),
              (QStringList{"error hotkey: selftest FAIL conflict/decoy could not take ⌃⌥F13 "
                           "(status 10)",
                           "info hotkey: selftest done — 1 failure(s)"}));
    EXPECT_TRUE(desktop->calls.isEmpty());
    EXPECT_EQ(manager->current(), optionCommandT);

    // A registrar blind to other applications fails them.
    log.sink.clear();
    lines = run();
    EXPECT_EQ(lines.filter("FAIL"),
              (QStringList{
                  "error hotkey: selftest FAIL conflict/refused register(⌃⌥F13) returned true",
                  "error hotkey: selftest FAIL conflict/previous-kept current = ⌃⌥F13 (was ⌥⌘T)"}));
    EXPECT_EQ(lines.last(), "info hotkey: selftest done — 2 failure(s)");
    EXPECT_EQ(manager->current(), optionCommandT);
}

} // namespace
