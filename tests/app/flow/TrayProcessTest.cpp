// SPDX-License-Identifier: MIT
// The real binary in a private session bus: one instance per session that a second start
// asks for its settings, `quillmark trigger` and a clean end on SIGTERM. It is one test because
// every step depends on which instance owns the session's bus name; separate tests run in parallel
// would see each other's.
#include "core/AppIdentity.h"
#include "support/DesktopTools.h"
#include "support/ScopedEnvironment.h"
#include "support/TestEnvironment.h"

#include <QDBusConnection>
#include <QProcess>
#include <gtest/gtest.h>

namespace {

const QString binary = QStringLiteral(QUILLMARK_BINARY);
// Waits allow a minute: the binary may be built with sanitizers.

class TrayProcessTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!QDBusConnection::sessionBus().isConnected())
            GTEST_SKIP() << "needs a session bus (run under scripts/test-session)";
        m_environment.set("QUILLMARK_LOG", "stderr");
        m_environment.set("QT_QPA_PLATFORM", "offscreen");
        // This is about the session bus alone; the X11 adapters have tests of their own.
        m_environment.unset("DISPLAY");
    }

    void TearDown() override
    {
        if (m_tray.state() != QProcess::NotRunning) {
            m_tray.kill();
            m_tray.waitForFinished();
        }
    }

    // The tray's standard error so far.
    QString trayLog()
    {
        m_trayLog += QString::fromUtf8(m_tray.readAllStandardError());
        return m_trayLog;
    }

    ScopedConfigHome m_home;
    ScopedEnvironment m_environment;
    QProcess m_tray;
    QString m_trayLog;
};

TEST_F(TrayProcessTest, OneInstanceAnswersTriggersAndEndsCleanlyOnSigterm)
{
    const QString launched =
        QStringLiteral("info app: Quillmark %1 launched").arg(AppIdentity::version());
    const ToolResult early = runTool(binary, {"trigger"});
    EXPECT_EQ(early.exitCode, 1);
    EXPECT_EQ(early.error, "quillmark trigger: Quillmark is not running.\n");

    m_tray.start(binary, {});
    ASSERT_TRUE(m_tray.waitForStarted());
    ASSERT_TRUE(waitUntil([&] { return trayLog().contains(launched); }, 60s))
        << trayLog().toStdString();

    const ToolResult second = runTool(binary, {});
    EXPECT_EQ(second.exitCode, 0);
    // Started again, as from the application menu: the running one opens its settings.
    EXPECT_TRUE(
        second.error.contains("Quillmark is already running; its settings window is open.\n"))
        << second.error.toStdString();
    EXPECT_FALSE(second.error.contains("launched"));
    EXPECT_TRUE(waitUntil(
        [&] { return trayLog().contains("info app: started again — opening the settings window"); },
        60s))
        << trayLog().toStdString();
    EXPECT_EQ(m_tray.state(), QProcess::Running);

    const ToolResult trigger = runTool(binary, {"trigger"});
    EXPECT_EQ(trigger.exitCode, 0) << trigger.error.toStdString();
    EXPECT_TRUE(waitUntil([&] { return trayLog().contains("info hotkey: trigger fired"); }, 60s))
        << trayLog().toStdString();
    EXPECT_EQ(trayLog().count(launched), 1);

    m_tray.terminate();
    ASSERT_TRUE(waitUntil([&] { return m_tray.state() == QProcess::NotRunning; }, 60s));
    EXPECT_EQ(m_tray.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(m_tray.exitCode(), 0) << trayLog().toStdString();

    const ToolResult orphan = runTool(binary, {"trigger"});
    EXPECT_EQ(orphan.exitCode, 1);
    EXPECT_EQ(orphan.error, "quillmark trigger: Quillmark is not running.\n");
}

} // namespace
