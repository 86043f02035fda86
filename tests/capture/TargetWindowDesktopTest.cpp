// SPDX-License-Identifier: MIT
// The window in front as the window manager describes it, telling later whether the
// application behind it is still there, and never reading a password field. (Reading a
// field found by walking the window is part of the Replace route table.)
#include "DesktopTestSupport.h"

#include "platform/x11/X11RunningApplications.h"

#include <QCoreApplication>

namespace {

class TargetWindowDesktopTest : public DesktopTest {
protected:
    X11RunningApplications running;
};

TEST_F(TargetWindowDesktopTest, TheActiveWindowIsDescribedAndItsEndIsSeen)
{
    Mousepad editor;
    ASSERT_TRUE(editor.start(QStringLiteral("text")));
    const std::optional<TargetApplication> target =
        waitForActiveWindow(editor.pid(), QStringLiteral("Mousepad"));
    ASSERT_TRUE(target);
    EXPECT_NE(target->windowID, 0u);
    EXPECT_TRUE(target->title.contains(QStringLiteral("notes.txt"))) << target->title.toStdString();
    EXPECT_TRUE(windows.isActive(*target));
    EXPECT_FALSE(running.isTerminated(*target));

    editor.stop();

    // The server closes the window once it notices the connection is gone.
    EXPECT_TRUE(waitUntil([&] { return running.isTerminated(*target); }));
    EXPECT_NE(windows.frontmost(), target);
}

TEST_F(TargetWindowDesktopTest, WithoutAWindowTheProcessDecides)
{
    const TargetApplication ourselves{0, QCoreApplication::applicationPid(), {}, {}};
    EXPECT_FALSE(running.isTerminated(ourselves));

    ChildProcess child;
    ASSERT_TRUE(child.start(QStringLiteral("sleep"), {QStringLiteral("30")}));
    const TargetApplication gone{0, child.pid(), {}, {}};
    EXPECT_FALSE(running.isTerminated(gone));
    child.stop();
    EXPECT_TRUE(running.isTerminated(gone));

    EXPECT_FALSE(running.isTerminated(TargetApplication{}));
}

TEST_F(TargetWindowDesktopTest, APasswordFieldIsNeverRead)
{
    ChildProcess field;
    ASSERT_TRUE(field.start(QStringLiteral(TEXT_FIELD_WINDOW_PATH),
                            {QStringLiteral("--password"), QStringLiteral("hunter2")}));
    const std::optional<TargetApplication> target = waitForActiveWindow(field.pid(), {});
    ASSERT_TRUE(target);
    // Give the toolkit the time a readable field needs to appear on the bus.
    EXPECT_FALSE(waitUntil([&] { return accessibility().selectedText(target).has_value(); }, 3s));

    // The copy command finds nothing either: password fields refuse to copy.
    EXPECT_FALSE(runCapture());
    EXPECT_EQ(log.lines(), QStringList{"info capture: no selection captured"});
}

} // namespace
