// SPDX-License-Identifier: MIT
// Against the kglobalaccel that KWin serves in `scripts/test-session --kwin`.
#include "input/HotkeyManager.h"
#include "platform/kde/KGlobalAccelGrabber.h"
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

QDBusMessage callKGlobalAccel(const QString& path, const QString& interface, const QString& method,
                              const QVariantList& arguments)
{
    QDBusMessage call =
        QDBusMessage::createMethodCall("org.kde.kglobalaccel", path, interface, method);
    call.setArguments(arguments);
    return QDBusConnection::sessionBus().call(call);
}

// What the desktop presses when the action's key goes down.
void press(const QString& action)
{
    callKGlobalAccel("/component/quillmark", "org.kde.kglobalaccel.Component", "invokeShortcut",
                     {action});
}

// The keys kglobalaccel holds for the action now.
QList<int> keysOf(const QString& action)
{
    const QDBusReply<QList<int>> reply =
        callKGlobalAccel("/kglobalaccel", "org.kde.KGlobalAccel", "shortcut",
                         {QStringList{"quillmark", action, "Quillmark", action}});
    return reply.value();
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
    const int defaultKey = KGlobalAccelGrabber::keyCode(HotkeyShortcut::defaultShortcut(), layout);
};

TEST_F(KGlobalAccelKWinTest, GrantedKeysFireTheirCallbacksUntilReleased)
{
    int hotkeys = 0;
    int escapes = 0;
    manager.onHotkey = [&] { ++hotkeys; };
    manager.onEscape = [&] { ++escapes; };
    ASSERT_TRUE(manager.registerShortcut(HotkeyShortcut::defaultShortcut()));
    manager.registerSessionKeys();
    EXPECT_EQ(keysOf("key-1"), QList<int>{defaultKey});
    EXPECT_EQ(keysOf("key-2"), QList<int>{Qt::Key_Escape});

    press("key-1");
    press("key-2");
    EXPECT_TRUE(waitUntil([&] { return hotkeys == 1 && escapes == 1; }));
    manager.unregisterSessionKeys();
    EXPECT_EQ(keysOf("key-2"), QList<int>{});
}

TEST_F(KGlobalAccelKWinTest, AKeyAnotherApplicationHoldsIsRefusedAndThePreviousOneStays)
{
    KGlobalAccelGrabber rival(layout, &named, {"rival", "Rival"});
    ASSERT_EQ(rival.grab(1, ctrlAltG).status, GlobalKeyGrabber::ok);
    ASSERT_TRUE(manager.registerShortcut(HotkeyShortcut::defaultShortcut()));
    ScopedLogCapture log;

    EXPECT_FALSE(manager.registerShortcut(ctrlAltG));
    EXPECT_EQ(manager.current(), HotkeyShortcut::defaultShortcut());
    EXPECT_EQ(keysOf("key-1"), QList<int>{defaultKey});
    EXPECT_EQ(log.lines(), (QStringList{"error hotkey: kglobalaccel refused Ctrl+Alt+G for key-1: "
                                        "another application holds it; granted: none",
                                        "error hotkey: RegisterEventHotKey(⌃⌥G) failed: 10 — "
                                        "keeping ⌥⌘T"}));
}

} // namespace
