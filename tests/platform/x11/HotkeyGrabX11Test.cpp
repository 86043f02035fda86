// SPDX-License-Identifier: MIT
#include "core/KeyPositions.h"
#include "input/HotkeyManager.h"
#include "platform/x11/XcbKeyGrabber.h"
#include "support/DesktopTools.h"
#include "support/TestEnvironment.h"
#include "support/XClient.h"
#include "support/fakes/FakeKeyboardLayout.h"

#include <gtest/gtest.h>
#include <xcb/xcb.h>

namespace {

const HotkeyShortcut optionCommandT{17, 0x0900};
const HotkeyShortcut controlOptionY{16, 0x1800};

// X's modifier bits, as the protocol numbers them.
constexpr uint16_t lockBit = 2, controlBit = 4;

// The Y position's keycode, whatever the layout prints on it.
uint8_t yPosition()
{
    return uint8_t(*KeyPositions::xKeycodeForVirtualKey(16));
}

// The hotkey manager over real grabs on the test display, with keys pressed by xdotool
// through XTest, as a user would press them.
class HotkeysOnDisplay : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (qEnvironmentVariableIsEmpty("DISPLAY"))
            GTEST_SKIP() << "needs an X display (scripts/test-session --x11)";
        keyboard.emplace();
        ASSERT_TRUE(other.isConnected());
        manager = std::make_unique<HotkeyManager>(
            std::make_unique<XcbKeyGrabber>(layout, x11, &ownGrab), layout);
        manager->onAnyHotkey = [this] { callbacks.append(QStringLiteral("any")); };
        manager->onHotkey = [this] { callbacks.append(QStringLiteral("hotkey")); };
        manager->onEscape = [this] { callbacks.append(QStringLiteral("escape")); };
    }

    // Presses each group of keys in turn and answers every callback up to the one named
    // `last`, which the last keys bring and the others must not. The server handles the
    // presses in order, so anything the first keys brought has arrived by then.
    QStringList press(const QStringList& keys, const QString& last = QStringLiteral("hotkey"))
    {
        callbacks.clear();
        for (const QString& key : keys)
            EXPECT_TRUE(xdotool({QStringLiteral("key"), key}));
        EXPECT_TRUE(waitUntil([&] { return callbacks.contains(last); }))
            << "nothing for " << keys.join(u' ').toStdString();
        return callbacks;
    }

    FakeKeyboardLayout layout{{17, "t"}, {16, "y"}};
    X11Connection x11;
    OwnKeyboardGrab ownGrab;
    std::optional<ScopedKeyboardState> keyboard;
    ScopedLogCapture log;
    OtherXClient other;
    std::unique_ptr<HotkeyManager> manager;
    QStringList callbacks;
};

// Which grabs cover which lock states is the masks' unit table; here both locks are on.
TEST_F(HotkeysOnDisplay, FiresWithTheLockKeysOn)
{
    ASSERT_TRUE(manager->registerShortcut(optionCommandT));
    EXPECT_EQ(log.lines(), QStringList({"info hotkey: registered ⌥⌘T"}));
    const X11ModifierMasks masks = other.masks();
    ASSERT_NE(masks.numLock, 0) << "the test keymap has Num Lock on a modifier";
    ASSERT_TRUE(
        xdotool({QStringLiteral("key"), QStringLiteral("Num_Lock"), QStringLiteral("Caps_Lock")}));
    ASSERT_EQ(other.modifierState() & masks.lockMask(), masks.numLock | lockBit);
    EXPECT_EQ(press({"super+alt+t"}), QStringList({"any", "hotkey"}));
    ASSERT_TRUE(
        xdotool({QStringLiteral("key"), QStringLiteral("Num_Lock"), QStringLiteral("Caps_Lock")}));
}

TEST_F(HotkeysOnDisplay, ACombinationAnotherClientHoldsIsRefusedAndTheOldOneKeepsWorking)
{
    const X11ModifierMasks masks = other.masks();
    const uint16_t controlAlt = uint16_t(controlBit | masks.alt);
    ASSERT_EQ(other.grabKey(yPosition(), controlAlt), 0);
    manager->registerSessionKeys();
    ASSERT_TRUE(manager->registerShortcut(optionCommandT));
    log.sink.clear();
    EXPECT_FALSE(manager->registerShortcut(controlOptionY));
    EXPECT_EQ(log.lines(),
              QStringList({"error hotkey: RegisterEventHotKey(⌃⌥Y) failed: 10 — keeping ⌥⌘T"}));
    EXPECT_EQ(manager->current(), optionCommandT);
    EXPECT_EQ(press({"super+alt+t"}), QStringList({"any", "hotkey"}));
    EXPECT_EQ(press({"ctrl+alt+y", "Escape"}, "escape"), QStringList({"any", "escape"}));

    // Once the other client lets go, the shortcut can be taken, and the old one is free.
    other.ungrabKey(yPosition(), controlAlt);
    ASSERT_TRUE(manager->registerShortcut(controlOptionY));
    EXPECT_EQ(press({"ctrl+alt+y"}), QStringList({"any", "hotkey"}));
    EXPECT_EQ(press({"super+alt+t", "Escape"}, "escape"), QStringList({"any", "escape"}));
}

// While the shortcut is held its press owns the keyboard; lent, another client can take it; taken
// back, the release comes here again. A release while lent went elsewhere and still counts: the
// next press fires.
TEST_F(HotkeysOnDisplay, TheKeyboardIsLentAndTakenBackWhileTheKeyIsDown)
{
    ASSERT_TRUE(manager->registerShortcut(optionCommandT));
    for (const bool releasedWhileLent : {false, true}) {
        SCOPED_TRACE(releasedWhileLent);
        callbacks.clear();
        ASSERT_TRUE(xdotool({"keydown", "super+alt+t"}));
        ASSERT_TRUE(waitUntil([&] { return callbacks.contains("hotkey"); }));
        EXPECT_TRUE(ownGrab.isActive());
        EXPECT_EQ(other.grabKeyboard(), XCB_GRAB_STATUS_ALREADY_GRABBED);
        ASSERT_TRUE(ownGrab.lend());
        EXPECT_FALSE(ownGrab.isActive());
        EXPECT_EQ(other.grabKeyboard(), XCB_GRAB_STATUS_SUCCESS);
        other.ungrabKeyboard();
        if (releasedWhileLent) {
            ASSERT_TRUE(xdotool({"keyup", "t"}));
        }
        ownGrab.reclaim();
        EXPECT_EQ(ownGrab.isActive(), !releasedWhileLent);
        ASSERT_TRUE(xdotool({"keyup", "super+alt+t"}));
        EXPECT_TRUE(waitUntil([&] { return !ownGrab.isActive(); }));
        EXPECT_EQ(other.grabKeyboard(), XCB_GRAB_STATUS_SUCCESS) << "the keyboard is free again";
        other.ungrabKeyboard();
    }
    EXPECT_EQ(press({"super+alt+t"}), QStringList({"any", "hotkey"}));
}

TEST_F(HotkeysOnDisplay, TheShortcutStaysOnItsKeyPositionInAnotherLayout)
{
    ASSERT_TRUE(ScopedKeyboardState::setxkbmap({"-layout", "us", "-variant", ""}));
    ASSERT_TRUE(manager->registerShortcut(controlOptionY));
    manager->registerSessionKeys();

    // A German keyboard prints Z where a US one prints Y, and Y where it prints Z.
    ASSERT_TRUE(ScopedKeyboardState::setxkbmap({"-layout", "de", "-variant", ""}));
    EXPECT_EQ(press({"ctrl+alt+z"}), QStringList({"any", "hotkey"}));
    EXPECT_EQ(press({"ctrl+alt+y", "Escape"}, "escape"), QStringList({"any", "escape"}));
}

} // namespace
