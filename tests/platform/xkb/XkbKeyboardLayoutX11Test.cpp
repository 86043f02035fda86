// SPDX-License-Identifier: MIT
#include "platform/xkb/XkbKeyboardLayout.h"

#include "core/HotkeyShortcut.h"
#include "support/ScopedEnvironment.h"

#include <QProcess>
#include <QRegularExpression>
#include <QThread>
#include <cstdlib>
#include <gtest/gtest.h>
#include <xcb/xcb.h>
// The XKB protocol header names a struct member "explicit", which C++ reserves.
#define explicit explicit_
#include <xcb/xkb.h>
#undef explicit

namespace {

int setxkbmap(const QStringList& arguments)
{
    return QProcess::execute(QStringLiteral("setxkbmap"), arguments);
}

// The display's keyboard as a user would change it. Whatever layout the display had is put
// back afterwards, so a developer's own session is left as it was.
class XkbLayoutOnDisplay : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (qEnvironmentVariableIsEmpty("DISPLAY"))
            GTEST_SKIP() << "needs an X display";
        ASSERT_NE(s_connection, nullptr) << "cannot open the display";
        QProcess query;
        query.start(QStringLiteral("setxkbmap"), {QStringLiteral("-query")});
        ASSERT_TRUE(query.waitForFinished()) << "setxkbmap (x11-xkb-utils) is missing";
        const QString answer = QString::fromUtf8(query.readAllStandardOutput());
        for (const char* field : {"layout", "variant"}) {
            const QRegularExpression line(QStringLiteral("^%1:\\s*(\\S+)$").arg(field),
                                          QRegularExpression::MultilineOption);
            m_restore << QStringLiteral("-%1").arg(field) << line.match(answer).captured(1);
        }
        // The display must win over the rule names of the environment.
        m_environment.set("XKB_DEFAULT_LAYOUT", "fr");
    }

    void TearDown() override
    {
        if (!m_restore.isEmpty()) {
            lockGroup(0);
            setxkbmap(m_restore);
        }
    }

    // A bare X server (no window manager) resets, keymap and all, whenever its last client
    // leaves, and refuses connections for a moment while it does: the previous test process
    // may just have left. One connection held for the whole suite keeps the server up between
    // the setxkbmap runs.
    static void SetUpTestSuite()
    {
        if (qEnvironmentVariableIsEmpty("DISPLAY"))
            return;
        for (int attempt = 0; attempt < 50 && !s_connection; ++attempt) {
            xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
            if (!xcb_connection_has_error(connection)) {
                s_connection = connection;
                break;
            }
            xcb_disconnect(connection);
            QThread::msleep(20);
        }
        if (s_connection)
            free(xcb_xkb_use_extension_reply(s_connection,
                                             xcb_xkb_use_extension(s_connection, 1, 0), nullptr));
    }

    static void TearDownTestSuite()
    {
        if (s_connection)
            xcb_disconnect(s_connection);
        s_connection = nullptr;
    }

    // Locks the keyboard to a group as a layout switch shortcut would, and waits until the
    // server has done it.
    static void lockGroup(uint8_t group)
    {
        xcb_xkb_latch_lock_state(s_connection, XCB_XKB_ID_USE_CORE_KBD, 0, 0, 1, group, 0, 0, 0);
        free(xcb_get_input_focus_reply(s_connection, xcb_get_input_focus(s_connection), nullptr));
    }

    XkbKeyboardLayout m_layout;

private:
    static inline xcb_connection_t* s_connection = nullptr;
    ScopedEnvironment m_environment;
    QStringList m_restore;
};

TEST_F(XkbLayoutOnDisplay, FollowsTheActiveGroup)
{
    ASSERT_EQ(setxkbmap({"-layout", "us,ru", "-variant", ","}), 0);
    lockGroup(0);
    EXPECT_EQ(m_layout.unmodifiedText(17), "t");
    EXPECT_EQ(HotkeyShortcut::keyName(12, m_layout), "Q");

    lockGroup(1);
    EXPECT_EQ(m_layout.unmodifiedText(17), "е");
    EXPECT_EQ(HotkeyShortcut::keyName(17, m_layout), "Е");
    EXPECT_EQ((HotkeyShortcut{17, 0x0900}).displayString(m_layout), "⌥⌘Е");

    lockGroup(0);
    EXPECT_EQ(HotkeyShortcut::keyName(17, m_layout), "T");
}

TEST_F(XkbLayoutOnDisplay, FollowsAKeymapChangeMadeWhileRunning)
{
    ASSERT_EQ(setxkbmap({"-layout", "us", "-variant", ""}), 0);
    EXPECT_EQ(HotkeyShortcut::keyName(16, m_layout), "Y");

    ASSERT_EQ(setxkbmap({"-layout", "de", "-variant", ""}), 0);
    EXPECT_EQ(HotkeyShortcut::keyName(16, m_layout), "Z");
    EXPECT_EQ(HotkeyShortcut::keyName(50, m_layout), "^");

    ASSERT_EQ(setxkbmap({"-layout", "ru", "-variant", ""}), 0);
    EXPECT_EQ(HotkeyShortcut::keyName(17, m_layout), "Е");

    ASSERT_EQ(setxkbmap({"-layout", "us", "-variant", ""}), 0);
    EXPECT_EQ(HotkeyShortcut::keyName(17, m_layout), "T");
}

} // namespace
