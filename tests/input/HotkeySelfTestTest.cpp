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
        for (auto [keyCode, text] :
             {std::pair{17u, "t"}, {5u, "g"}, {12u, "q"}, {18u, "1"}, {21u, "4"}, {23u, "5"}})
            layout.setText(keyCode, QString::fromUtf8(text));
        auto owned = std::make_unique<FakeKeyGrabber>(layout);
        desktop = owned.get();
        manager.emplace(std::move(owned), layout);
    }

    // Runs the self-test with the "hotkeySelfTest" default on, after the manager took ⌥⌘T;
    // answers the lines it logged.
    QStringList run(const BuiltInHotkeySelfTest::GrabberFactory& makeRival)
    {
        Preferences::setFlag(DefaultsKey::hotkeySelfTest, true);
        EXPECT_TRUE(manager->registerShortcut(optionCommandT));
        desktop->calls.clear();
        log.sink.clear();
        BuiltInHotkeySelfTest selfTest(makeRival, layout);
        selfTest.runIfRequested(*manager);
        return log.lines();
    }

    ScopedConfigHome home;
    ScopedLogCapture log;
    FakeKeyboardLayout layout;
    FakeKeyGrabber* desktop = nullptr;
    std::optional<HotkeyManager> manager;
};

TEST_F(HotkeySelfTestTest, doesNothingUnlessAskedFor)
{
    for (const std::optional<bool> flag : {std::optional<bool>(), std::optional<bool>(false)}) {
        if (flag)
            Preferences::setFlag(DefaultsKey::hotkeySelfTest, *flag);
        bool rivalMade = false;
        BuiltInHotkeySelfTest selfTest(
            [&] {
                rivalMade = true;
                return std::make_unique<FakeKeyGrabber>(layout);
            },
            layout);
        selfTest.runIfRequested(*manager);
        EXPECT_FALSE(rivalMade);
        EXPECT_TRUE(desktop->calls.isEmpty());
        EXPECT_TRUE(log.lines().isEmpty());
    }
}

TEST_F(HotkeySelfTestTest, aRivalThatCannotTakeTheKeyEndsTheConflictChecks)
{
    const QStringList lines = run([this] {
        auto crowded = std::make_unique<FakeKeyGrabber>(layout);
        crowded->refuse(controlOptionF13, 10);
        return crowded;
    });

    EXPECT_EQ(lines.mid(lines.size() - 2),
              (QStringList{"error hotkey: selftest FAIL conflict/decoy could not take ⌃⌥F13 "
                           "(status 10)",
                           "info hotkey: selftest done — 1 failure(s)"}));
    EXPECT_TRUE(desktop->calls.isEmpty());
    EXPECT_EQ(manager->current(), optionCommandT);
}

TEST_F(HotkeySelfTestTest, aRegistrarBlindToOtherApplicationsFailsTheConflictChecks)
{
    // The rival grabs on a desktop of its own, so the manager is never refused.
    const QStringList lines = run([this] { return std::make_unique<FakeKeyGrabber>(layout); });

    const QStringList failures = lines.filter(QStringLiteral("FAIL"));
    EXPECT_EQ(failures,
              (QStringList{
                  "error hotkey: selftest FAIL conflict/refused register(⌃⌥F13) returned true",
                  "error hotkey: selftest FAIL conflict/previous-kept current = ⌃⌥F13 (was ⌥⌘T)"}));
    EXPECT_EQ(lines.last(), "info hotkey: selftest done — 2 failure(s)");
    EXPECT_EQ(manager->current(), optionCommandT);
}

} // namespace
