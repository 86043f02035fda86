// SPDX-License-Identifier: MIT
// The window in front as the window manager describes it, and telling later whether the
// application behind it is still there.
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

} // namespace
