// SPDX-License-Identifier: MIT
// The hotkey manager over a fake desktop: which grabs it takes and gives back, and what it
// logs. A refused shortcut keeping the old one working, its retry, and the session keys
// arriving only while held are proven with real grabs by HotkeyGrabX11Test.
#include "input/HotkeyManager.h"

#include "support/TestEnvironment.h"
#include "support/fakes/FakeKeyGrabber.h"
#include "support/fakes/FakeKeyboardLayout.h"

#include <gtest/gtest.h>

namespace {

const HotkeyShortcut optionCommandT{17, 0x0900};
const HotkeyShortcut controlOptionY{16, 0x1800};
const HotkeyShortcut optionTwo{19, 0x0800};

class HotkeyManagerTest : public ::testing::Test {
protected:
    HotkeyManagerTest() { makeManager(); }

    // A fresh manager on a fresh desktop; every callback is written down in `callbacks`.
    void makeManager()
    {
        auto grabber = std::make_unique<FakeKeyGrabber>(layout);
        desktop = grabber.get();
        manager = std::make_unique<HotkeyManager>(std::move(grabber), layout);
        manager->onHotkey = [this] { callbacks.append("hotkey"); };
        manager->onActionKey = [this](int n) { callbacks.append(QString::number(n)); };
        log.sink.clear();
    }

    FakeKeyboardLayout layout{{17, "t"}, {16, "y"}, {18, "1"}, {19, "2"}, {20, "3"}, {21, "4"}};
    ScopedLogCapture log;
    FakeKeyGrabber* desktop = nullptr;
    std::unique_ptr<HotkeyManager> manager;
    QStringList callbacks;
};

TEST_F(HotkeyManagerTest, TakesTheNewShortcutBeforeGivingBackTheOldAndTheSameOneOnce)
{
    ASSERT_TRUE(manager->registerShortcut(optionCommandT));
    ASSERT_TRUE(manager->registerShortcut(optionCommandT));
    ASSERT_TRUE(manager->registerShortcut(controlOptionY));

    EXPECT_EQ(desktop->calls, QStringList({"grab 1 ⌥⌘T", "grab 1 ⌃⌥Y", "release 1 ⌥⌘T"}));
    EXPECT_EQ(log.lines(),
              QStringList({"info hotkey: registered ⌥⌘T", "info hotkey: registered ⌃⌥Y"}));
    EXPECT_EQ(manager->current(), controlOptionY);
}

TEST_F(HotkeyManagerTest, SuspendGivesTheShortcutBackUntilItIsRegisteredAgain)
{
    manager->suspend(); // before any shortcut: nothing to give back
    EXPECT_TRUE(desktop->calls.isEmpty());
    ASSERT_TRUE(manager->registerShortcut(optionCommandT));
    log.sink.clear();
    desktop->calls.clear();

    manager->suspend();
    manager->suspend(); // a second one has nothing to give back and says nothing
    EXPECT_EQ(desktop->calls, QStringList({"release 1 ⌥⌘T"}));
    EXPECT_EQ(log.lines(), QStringList({"info hotkey: suspended ⌥⌘T for recording"}));
    EXPECT_EQ(manager->current(), optionCommandT);
    EXPECT_FALSE(manager->hasRegisteredHotkey());
    EXPECT_FALSE(desktop->press(optionCommandT));

    // A recorded shortcut that is refused leaves the suspended one current.
    desktop->refuse(controlOptionY);
    EXPECT_FALSE(manager->registerShortcut(controlOptionY));
    EXPECT_EQ(log.lines().last(),
              "error hotkey: RegisterEventHotKey(⌃⌥Y) failed: 10 — keeping ⌥⌘T");
    EXPECT_EQ(manager->current(), optionCommandT);
    EXPECT_FALSE(manager->hasRegisteredHotkey());
    EXPECT_EQ(desktop->calls.filter("release").size(), 1);

    // Ending the recording with the unchanged shortcut takes it again.
    EXPECT_TRUE(manager->registerShortcut(optionCommandT));
    EXPECT_EQ(log.lines().last(), "info hotkey: registered ⌥⌘T");
    EXPECT_TRUE(desktop->press(optionCommandT));
    EXPECT_EQ(callbacks, QStringList{"hotkey"});
}

TEST_F(HotkeyManagerTest, SessionKeysAreTakenOnceWithTheirIdsAndARefusedOneIsSkipped)
{
    desktop->refuse(optionTwo);
    manager->registerSessionKeys();
    manager->registerSessionKeys();
    EXPECT_EQ(desktop->calls,
              QStringList({"grab 2 ⎋", "grab 10 ⌥1", "grab 11 ⌥2", "grab 12 ⌥3", "grab 13 ⌥4"}));
    EXPECT_EQ(log.lines(), QStringList{"error hotkey: RegisterEventHotKey(session 11) failed: 10"});
    EXPECT_FALSE(desktop->press(optionTwo));
    EXPECT_TRUE(desktop->press({20, 0x0800}));
    EXPECT_EQ(callbacks, QStringList{"3"});

    desktop->calls.clear();
    manager->unregisterSessionKeys();
    manager->unregisterSessionKeys();
    desktop->calls.sort();
    EXPECT_EQ(desktop->calls,
              QStringList({"release 10 ⌥1", "release 12 ⌥3", "release 13 ⌥4", "release 2 ⎋"}));
}

} // namespace
