// SPDX-License-Identifier: MIT
#include "platform/xkb/XkbKeyboardLayout.h"

#include "core/HotkeyShortcut.h"
#include "support/ScopedEnvironment.h"
#include "support/XClient.h"

#include <gtest/gtest.h>

namespace {

// The display's keyboard as a user would change it, put back as it was afterwards.
class XkbLayoutOnDisplay : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (qEnvironmentVariableIsEmpty("DISPLAY"))
            GTEST_SKIP() << "needs an X display (scripts/test-session --x11)";
        ASSERT_TRUE(m_client.isConnected()) << "cannot open the display";
        m_keyboard.emplace();
        // The display must win over the rule names of the environment.
        m_environment.set("XKB_DEFAULT_LAYOUT", "fr");
    }

    static bool setxkbmap(const char* layout, const char* variant)
    {
        return ScopedKeyboardState::setxkbmap({"-layout", layout, "-variant", variant});
    }

    OtherXClient m_client;
    XkbKeyboardLayout m_layout;

private:
    ScopedEnvironment m_environment;
    std::optional<ScopedKeyboardState> m_keyboard;
};

TEST_F(XkbLayoutOnDisplay, FollowsTheActiveGroupAndAKeymapChangeMadeWhileRunning)
{
    ASSERT_TRUE(setxkbmap("us,ru", ","));
    m_client.lockGroup(0);
    EXPECT_EQ(m_layout.unmodifiedText(17), "t");

    m_client.lockGroup(1);
    EXPECT_EQ(m_layout.unmodifiedText(17), "е");
    EXPECT_EQ(HotkeyShortcut::keyName(17, m_layout), "Е");
    EXPECT_EQ((HotkeyShortcut{17, 0x0900}).displayString(m_layout), "⌥⌘Е");

    m_client.lockGroup(0);
    EXPECT_EQ(HotkeyShortcut::keyName(17, m_layout), "T");

    // A keymap changed while running.
    ASSERT_TRUE(setxkbmap("us", ""));
    EXPECT_EQ(HotkeyShortcut::keyName(16, m_layout), "Y");
    ASSERT_TRUE(setxkbmap("de", ""));
    EXPECT_EQ(HotkeyShortcut::keyName(16, m_layout), "Z");
}

} // namespace
