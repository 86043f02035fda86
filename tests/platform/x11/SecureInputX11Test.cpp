// SPDX-License-Identifier: MIT
#include "input/HotkeyManager.h"
#include "platform/x11/OwnKeyboardGrab.h"
#include "platform/x11/XcbKeyGrabber.h"
#include "platform/x11/XcbSecureInput.h"
#include "support/DesktopTools.h"
#include "support/TestEnvironment.h"
#include "support/XClient.h"
#include "support/fakes/FakeKeyboardLayout.h"

#include <gtest/gtest.h>

namespace {

class SecureInputOnDisplay : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (qEnvironmentVariableIsEmpty("DISPLAY"))
            GTEST_SKIP() << "needs an X display (scripts/test-session --x11)";
        ASSERT_TRUE(other.isConnected());
    }

    ScopedLogCapture log;
    OtherXClient other;
    XcbSecureInput secureInput;
};

TEST_F(SecureInputOnDisplay, IsOnWhileAnotherClientHoldsTheKeyboard)
{
    EXPECT_FALSE(secureInput.isActive());

    // The probe gave the keyboard back at once.
    ASSERT_EQ(other.grabKeyboard(), 0);
    EXPECT_TRUE(secureInput.isActive());
    EXPECT_TRUE(secureInput.isActive());

    other.ungrabKeyboard();
    EXPECT_FALSE(secureInput.isActive());
}

TEST_F(SecureInputOnDisplay, IsOffWhileQuillmarksOwnShortcutIsHeldDown)
{
    // Holding a grabbed key makes the grabbing connection the keyboard's owner, which is
    // Quillmark itself, not a password prompt.
    FakeKeyboardLayout layout;
    HotkeyManager manager(std::make_unique<XcbKeyGrabber>(layout), layout);
    int presses = 0;
    manager.onHotkey = [&] { ++presses; };
    ASSERT_TRUE(manager.registerShortcut({17, 0x0900}));

    ASSERT_TRUE(xdotool({"keydown", "super+alt+t"}));
    const bool heard = waitUntil([&] { return presses > 0; });
    EXPECT_TRUE(OwnKeyboardGrab::isActive());
    EXPECT_FALSE(secureInput.isActive());
    ASSERT_TRUE(xdotool({"keyup", "super+alt+t"}));
    ASSERT_TRUE(heard);

    EXPECT_TRUE(waitUntil([] { return !OwnKeyboardGrab::isActive(); }));
    EXPECT_EQ(presses, 1);
    ASSERT_EQ(other.grabKeyboard(), 0);
    EXPECT_TRUE(secureInput.isActive());
    other.ungrabKeyboard();
}

} // namespace
