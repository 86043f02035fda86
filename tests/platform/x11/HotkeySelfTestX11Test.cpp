// SPDX-License-Identifier: MIT
// The built-in hotkey self-test on the test desktop: the manager's grabs and the rival's are
// made on two connections to the same X server, as two applications would make them.
#include "core/KeyPositions.h"
#include "input/BuiltInHotkeySelfTest.h"
#include "input/HotkeyManager.h"
#include "platform/x11/XcbKeyGrabber.h"
#include "settings/Preferences.h"
#include "support/DesktopTools.h"
#include "support/TestEnvironment.h"
#include "support/XClient.h"
#include "support/fakes/FakeKeyboardLayout.h"

#include <QScopeGuard>
#include <gtest/gtest.h>

namespace {

const HotkeyShortcut optionCommandT{17, 0x900};

TEST(HotkeySelfTestX11Test, passesEveryCheckAndLeavesTheShortcutWorking)
{
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        GTEST_SKIP() << "needs an X display (scripts/test-session --x11)";
    ScopedConfigHome home;
    Preferences preferences{UserDefaults::standard()};
    ScopedLogCapture log;
    FakeKeyboardLayout layout{{17, "t"}};
    ScopedKeyboardState keyboard;
    preferences.setFlag(DefaultsKey::hotkeySelfTest, true);

    int presses = 0;
    X11Connection x11;
    HotkeyManager manager(std::make_unique<XcbKeyGrabber>(layout, x11), layout);
    manager.onHotkey = [&] { ++presses; };
    ASSERT_TRUE(manager.registerShortcut(optionCommandT));
    log.sink.clear();

    BuiltInHotkeySelfTest selfTest(
        [&layout] {
            return std::make_unique<XcbKeyGrabber>(layout, std::make_unique<X11Connection>());
        },
        layout, preferences);
    selfTest.runIfRequested(manager);

    const QStringList lines = log.lines();
    EXPECT_EQ(lines.filter(QStringLiteral("selftest FAIL")), QStringList());
    EXPECT_EQ(lines.filter(QStringLiteral("selftest PASS")).size(), 37);
    EXPECT_EQ(lines.last(), QStringLiteral("info hotkey: selftest done — 0 failure(s)"));
    EXPECT_EQ(manager.current(), optionCommandT);

    // ⌥⌘T still reaches the manager, and ⌃⌥F13 is free for anyone again.
    EXPECT_TRUE(xdotool({QStringLiteral("key"), QStringLiteral("alt+super+t")}));
    EXPECT_TRUE(waitUntil([&] { return presses == 1; }));
    OtherXClient other;
    const uint8_t f13 = uint8_t(*KeyPositions::xKeycodeForVirtualKey(105));
    const uint16_t controlAlt = uint16_t(4 | other.masks().alt);
    EXPECT_EQ(other.grabKey(f13, controlAlt), 0);
    other.ungrabKey(f13, controlAlt);
}

} // namespace
