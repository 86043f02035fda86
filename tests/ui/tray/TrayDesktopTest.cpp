// SPDX-License-Identifier: MIT
#include "support/DesktopTools.h"
#include "support/TestEnvironment.h"
#include "support/TrayHost.h"

#include <QCursor>
#include <QProcess>
#include <gtest/gtest.h>

namespace {

// The tray icon of the probe, a process of its own so that Quit may end it, in a real tray.
class TrayDesktopTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (qEnvironmentVariableIsEmpty("DISPLAY"))
            GTEST_SKIP() << "needs the test desktop (scripts/test-session --x11)";
        ASSERT_TRUE(tray.start()) << "trayer did not start; is it installed?";
        probe.start(QStringLiteral(TRAY_PROBE_PATH), {});
        ASSERT_TRUE(probe.waitForStarted(10000));
        const QStringList line = readLine().split(u' ');
        ASSERT_EQ(line.size(), 5) << "no icon in the tray";
        icon = QRect(line[1].toInt(), line[2].toInt(), line[3].toInt(), line[4].toInt());
    }

    QString readLine()
    {
        (void)waitUntil([this] { return probe.canReadLine(); });
        return QString::fromLocal8Bit(probe.readLine()).trimmed();
    }

    // Right-clicks the icon once the tray has taken in its window and the pointer is on it,
    // then presses the keys in the open menu, which has the keyboard.
    [[nodiscard]] bool chooseFromMenu(const QStringList& keys)
    {
        const auto menuOpen = [this] { return visibleWindowsOf(probe.processId()).size() >= 2; };
        return waitUntil([this] { return tray.holdsWindowOf(probe.processId()); }) &&
               waitUntil([&] { return !menuOpen(); }) &&
               xdotool({QStringLiteral("mousemove"), QString::number(icon.center().x()),
                        QString::number(icon.center().y())}) &&
               waitUntil([this] { return QCursor::pos() == icon.center(); }) &&
               xdotool({QStringLiteral("click"), QStringLiteral("3")}) && waitUntil(menuOpen) &&
               xdotool(QStringList{QStringLiteral("key"), QStringLiteral("--delay"),
                                   QStringLiteral("100")} +
                       keys);
    }

    ScopedConfigHome config;
    TrayHost tray;
    QProcess probe;
    QRect icon;
};

// From nothing selected, Up goes to the last item, Quit Quillmark; three times, past the
// separators, to Settings….
TEST_F(TrayDesktopTest, TheMenuOpensTheSettingsAndQuitEndsTheProcess)
{
    ASSERT_TRUE(chooseFromMenu({"Up", "Up", "Up", "Return"})) << "the menu did not open";
    EXPECT_EQ(readLine(), QStringLiteral("settings"));
    ASSERT_TRUE(chooseFromMenu({"Up", "Return"})) << "the menu did not open again";
    // The event loop runs while the tools do, so the probe's end may already have been seen.
    ASSERT_TRUE(waitUntil([this] { return probe.state() == QProcess::NotRunning; }))
        << "the probe is still running";
    EXPECT_EQ(probe.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(probe.exitCode(), 0);
}

} // namespace
