// SPDX-License-Identifier: MIT
// Against the kglobalaccel that KWin serves in `scripts/test-session --kwin`.
#include "core/SystemClock.h"
#include "input/HotkeyManager.h"
#include "platform/kde/KGlobalAccelGrabber.h"
#include "platform/kde/KGlobalAccelHold.h"
#include "support/DesktopTools.h"
#include "support/TestEnvironment.h"
#include "support/fakes/FakeKeyboardLayout.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>
#include <gtest/gtest.h>

namespace {

const HotkeyShortcut ctrlAltG{5, HotkeyShortcut::controlBit | HotkeyShortcut::optionBit};

KGlobalAccelGrabber::ActionName named(uint32_t id)
{
    return {QStringLiteral("key-%1").arg(id), QStringLiteral("Key %1").arg(id)};
}

// Asks kglobalaccel as the desktop would: "invokeShortcut" presses an action's key,
// "shortcut" reads back the keys it holds.
QDBusMessage kglobalaccel(const QString& method, const QVariant& argument)
{
    const bool press = method == "invokeShortcut";
    QDBusMessage call = QDBusMessage::createMethodCall(
        "org.kde.kglobalaccel", press ? "/component/quillmark" : "/kglobalaccel",
        press ? "org.kde.kglobalaccel.Component" : "org.kde.KGlobalAccel", method);
    call << argument;
    return QDBusConnection::sessionBus().call(call);
}

QList<int> keysOf(const QString& action)
{
    const QStringList actionId{"quillmark", action, "Quillmark", action};
    return QDBusReply<QList<int>>(kglobalaccel("shortcut", actionId)).value();
}

class KGlobalAccelKWinTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!QDBusConnection::sessionBus().interface()->isServiceRegistered("org.kde.kglobalaccel"))
            GTEST_SKIP() << "needs kglobalaccel (run under scripts/test-session --kwin)";
    }

    FakeKeyboardLayout layout{{17, "t"}, {5, "g"}};
    HotkeyManager manager{std::make_unique<KGlobalAccelGrabber>(layout, &named), layout};
};

TEST_F(KGlobalAccelKWinTest, GrantedKeysFireTheirCallbacksUntilReleased)
{
    int hotkeys = 0;
    int escapes = 0;
    manager.onHotkey = [&] { ++hotkeys; };
    manager.onEscape = [&] { ++escapes; };
    ASSERT_TRUE(manager.registerShortcut(HotkeyShortcut::defaultShortcut()));
    manager.registerSessionKeys();

    kglobalaccel("invokeShortcut", "key-1");
    kglobalaccel("invokeShortcut", "key-2");
    EXPECT_TRUE(waitUntil([&] { return hotkeys == 1 && escapes == 1; }));
    manager.unregisterSessionKeys();
    EXPECT_EQ(keysOf("key-2"), QList<int>{});
}

// Real keys through the session's fake input: KDE says when the shortcut's keys go up, which
// the key sender waits for before it types.
TEST_F(KGlobalAccelKWinTest, TheHoldFollowsTheKeysOfTheShortcut)
{
    SystemClock clock;
    KGlobalAccelHold hold(QStringLiteral("quillmark"), QStringLiteral("key-1"), clock);
    int hotkeys = 0;
    manager.onHotkey = [&] { ++hotkeys; };
    ASSERT_TRUE(manager.registerShortcut(HotkeyShortcut::defaultShortcut()));
    // Alt, Super, T.
    ASSERT_TRUE(waylandSeat({"key 56 1", "key 125 1", "key 20 1"}));
    EXPECT_TRUE(waitUntil([&] { return hotkeys == 1 && hold.isHeld(); }));
    ASSERT_TRUE(waylandSeat({"key 20 0", "key 125 0", "key 56 0"}));
    EXPECT_TRUE(waitUntil([&] { return !hold.isHeld(); }));
}

TEST_F(KGlobalAccelKWinTest, AKeyAnotherApplicationHoldsIsRefusedAndThePreviousOneStays)
{
    KGlobalAccelGrabber rival(layout, &named, {"rival", "Rival"});
    ASSERT_EQ(rival.grab(1, ctrlAltG).status, GlobalKeyGrabber::ok);
    ASSERT_TRUE(manager.registerShortcut(HotkeyShortcut::defaultShortcut()));
    ScopedLogCapture log;

    EXPECT_FALSE(manager.registerShortcut(ctrlAltG));
    EXPECT_EQ(manager.current(), HotkeyShortcut::defaultShortcut());
    EXPECT_EQ(keysOf("key-1"),
              QList<int>{KGlobalAccelGrabber::keyCode(HotkeyShortcut::defaultShortcut(), layout)});
    EXPECT_EQ(log.lines(), (QStringList{"error hotkey: kglobalaccel refused Ctrl+Alt+G for key-1: "
                                        "another application holds it; granted: none",
                                        "error hotkey: RegisterEventHotKey(⌃⌥G) failed: 10 — "
                                        "keeping ⌥⌘T"}));
}

} // namespace
