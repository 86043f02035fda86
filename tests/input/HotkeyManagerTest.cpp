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

TEST(HotkeyManagerTest, GrabsAndGivesBackSoThatAWorkingShortcutIsNeverLost)
{
    const HotkeyShortcut optionCommandT{17, 0x0900}, controlOptionY{16, 0x1800};
    FakeKeyboardLayout layout{{17, "t"}, {16, "y"}, {18, "1"}, {19, "2"}, {20, "3"}, {21, "4"}};
    ScopedLogCapture log;
    auto owned = std::make_unique<FakeKeyGrabber>(layout);
    FakeKeyGrabber& desktop = *owned;
    HotkeyManager manager(std::move(owned), layout);
    QStringList callbacks;
    manager.onHotkey = [&] { callbacks.append("hotkey"); };
    manager.onActionKey = [&](int n) { callbacks.append(QString::number(n)); };

    // The same shortcut is taken once; a new one before the old is given back.
    ASSERT_TRUE(manager.registerShortcut(optionCommandT));
    ASSERT_TRUE(manager.registerShortcut(optionCommandT));
    ASSERT_TRUE(manager.registerShortcut(controlOptionY));
    EXPECT_EQ(desktop.calls, QStringList({"grab 1 ⌥⌘T", "grab 1 ⌃⌥Y", "release 1 ⌥⌘T"}));
    EXPECT_EQ(log.lines(),
              QStringList({"info hotkey: registered ⌥⌘T", "info hotkey: registered ⌃⌥Y"}));

    // Recording a new shortcut gives the current one back until it is registered again.
    log.sink.clear();
    desktop.calls.clear();
    manager.suspend();
    manager.suspend();
    EXPECT_EQ(desktop.calls, QStringList({"release 1 ⌃⌥Y"}));
    EXPECT_EQ(log.lines(), QStringList({"info hotkey: suspended ⌃⌥Y for recording"}));
    EXPECT_EQ(manager.current(), controlOptionY);
    EXPECT_FALSE(manager.hasRegisteredHotkey());
    EXPECT_FALSE(desktop.press(controlOptionY));
    EXPECT_TRUE(manager.registerShortcut(controlOptionY));
    EXPECT_TRUE(desktop.press(controlOptionY));
    EXPECT_EQ(callbacks, QStringList{"hotkey"});

    // The panel's keys are taken once, with their ids; one another client holds is skipped.
    desktop.calls.clear();
    log.sink.clear();
    desktop.refuse({19, 0x0800});
    manager.registerSessionKeys();
    manager.registerSessionKeys();
    EXPECT_EQ(desktop.calls,
              QStringList({"grab 2 ⎋", "grab 10 ⌥1", "grab 11 ⌥2", "grab 12 ⌥3", "grab 13 ⌥4"}));
    EXPECT_EQ(log.lines(), QStringList{"error hotkey: RegisterEventHotKey(session 11) failed: 10"});
    EXPECT_TRUE(desktop.press({20, 0x0800}));
    EXPECT_EQ(callbacks.last(), "3");
    desktop.calls.clear();
    manager.unregisterSessionKeys();
    manager.unregisterSessionKeys();
    desktop.calls.sort();
    EXPECT_EQ(desktop.calls,
              QStringList({"release 10 ⌥1", "release 12 ⌥3", "release 13 ⌥4", "release 2 ⎋"}));
}

} // namespace
