// SPDX-License-Identifier: MIT
// The real binary in a private session bus: one instance per session, which a second start
// asks for its settings and `quillmark trigger` finds. It is one test because every step
// depends on which instance owns the session's bus name; separate tests run in parallel would
// see each other's. The end-to-end tests trigger the installed binary and end it by SIGTERM.
#include "support/TrayProcess.h"
#include "core/AppIdentity.h"
#include "support/DesktopTools.h"
#include "support/ScopedEnvironment.h"
#include "support/TestEnvironment.h"

#include <QDBusConnection>
#include <gtest/gtest.h>

namespace {

const QString binary = QStringLiteral(QUILLMARK_BINARY);

// Waits allow a minute: the binary may be built with sanitizers.
TEST(TrayProcessTest, OneInstanceAnswersASecondStartAndTriggers)
{
    if (!QDBusConnection::sessionBus().isConnected())
        GTEST_SKIP() << "needs a session bus (run under scripts/test-session)";
    ScopedConfigHome home;
    ScopedEnvironment environment;
    environment.set("QUILLMARK_LOG", "stderr");
    environment.set("QT_QPA_PLATFORM", "offscreen");
    // This is about the session bus alone; the X11 adapters have tests of their own.
    environment.unset("DISPLAY");
    const QString launched =
        QStringLiteral("info app: Quillmark %1 launched").arg(AppIdentity::version());
    const ToolResult early = runTool(binary, {"trigger"});
    EXPECT_EQ(early.exitCode, 1);
    EXPECT_EQ(early.error, "quillmark trigger: Quillmark is not running.\n");

    TrayProcess tray;
    ASSERT_TRUE(tray.start(binary, QProcessEnvironment::systemEnvironment()));
    ASSERT_TRUE(tray.waitForLine(launched, 0, 60s)) << tray.tail().toStdString();

    const ToolResult second = runTool(binary, {});
    EXPECT_EQ(second.exitCode, 0);
    // Started again, as from the application menu: the running one opens its settings.
    EXPECT_TRUE(
        second.error.contains("Quillmark is already running; its settings window is open.\n"))
        << second.error.toStdString();
    EXPECT_FALSE(second.error.contains("launched"));
    EXPECT_TRUE(tray.waitForLine("info app: started again — opening the settings window", 0, 60s))
        << tray.tail().toStdString();
    EXPECT_TRUE(tray.isRunning());

    const ToolResult trigger = runTool(binary, {"trigger"});
    EXPECT_EQ(trigger.exitCode, 0) << trigger.error.toStdString();
    EXPECT_TRUE(tray.waitForLine("info hotkey: trigger fired", 0, 60s))
        << tray.tail().toStdString();
    EXPECT_EQ(tray.count(launched), 1);
}

} // namespace
