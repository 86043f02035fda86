// SPDX-License-Identifier: MIT
#include "support/DesktopTools.h"
#include "support/TestEnvironment.h"
#include "support/TrayHost.h"
#include "support/fakes/FakeAccessibilityPermission.h"
#include "support/fakes/FakeDoubleTapTrigger.h"
#include "support/fakes/FakeKeyboardLayout.h"
#include "ui/settings/SettingsWindowController.h"
#include "ui/tray/StatusItemController.h"

#include <QCoreApplication>
#include <QCursor>
#include <QMenu>
#include <QProcess>
#include <QSystemTrayIcon>
#include <gtest/gtest.h>

namespace {

// The tray takes in the icon's window some time after the icon knows its place, so a click
// is sent only once the tray holds a window of the process and the pointer is on the icon.
[[nodiscard]] bool pointAtIcon(TrayHost& tray, int64_t pid, const std::function<QRect()>& icon)
{
    return waitUntil([&] { return tray.holdsWindowOf(pid) && !icon().isEmpty(); }) &&
           xdotool({QStringLiteral("mousemove"), QString::number(icon().center().x()),
                    QString::number(icon().center().y())}) &&
           waitUntil([&] { return QCursor::pos() == icon().center(); });
}

class TrayDesktopTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (qEnvironmentVariableIsEmpty("DISPLAY"))
            GTEST_SKIP() << "needs the test desktop (scripts/test-session --x11)";
        ASSERT_TRUE(tray.start()) << "trayer did not start; is it installed?";
    }

    ScopedConfigHome config;
    TrayHost tray;
};

TEST_F(TrayDesktopTest, IconMenuAndSettingsWorkInARealTray)
{
    FakeAccessibilityPermission accessibility;
    FakeDoubleTapTrigger doubleTap;
    FakeKeyboardLayout layout;
    SettingsWindowController settings(doubleTap, accessibility, layout);
    StatusItemController controller(accessibility, XdgAutostartEntry(QStringLiteral("/bin/true")));
    controller.onOpenSettings = [&settings] { settings.show(); };

    ASSERT_TRUE(pointAtIcon(tray, QCoreApplication::applicationPid(),
                            [&controller] { return controller.trayIcon().geometry(); }));
    ASSERT_TRUE(xdotool({QStringLiteral("click"), QStringLiteral("3")}));
    QMenu& menu = controller.menu();
    ASSERT_TRUE(waitUntil([&menu] { return menu.isVisible(); })) << "the menu did not open";
    QAction* settingsItem = nullptr;
    for (QAction* action : menu.actions()) {
        if (action->text() == QStringLiteral("Settings…"))
            settingsItem = action;
    }
    ASSERT_NE(settingsItem, nullptr);
    ASSERT_TRUE(waitUntil([&] { return !menu.actionGeometry(settingsItem).isEmpty(); }));
    const QPoint onItem = menu.mapToGlobal(menu.actionGeometry(settingsItem).center());
    ASSERT_TRUE(xdotool(
        {QStringLiteral("mousemove"), QString::number(onItem.x()), QString::number(onItem.y())}));
    ASSERT_TRUE(waitUntil([&] { return QCursor::pos() == onItem; }));
    ASSERT_TRUE(xdotool({QStringLiteral("click"), QStringLiteral("1")}));
    ASSERT_TRUE(waitUntil([&settings] {
        return settings.window() && settings.window()->isVisible();
    })) << "Settings… did not open the window";
    EXPECT_FALSE(menu.isVisible());
}

TEST_F(TrayDesktopTest, QuitEndsTheProcess)
{
    QProcess probe;
    probe.start(QStringLiteral(TRAY_PROBE_PATH), {});
    ASSERT_TRUE(probe.waitForStarted(10000));
    ASSERT_TRUE(waitUntil([&probe] { return probe.canReadLine(); })) << "no icon in the tray";
    const QStringList icon = QString::fromLocal8Bit(probe.readLine()).trimmed().split(u' ');
    ASSERT_EQ(icon.size(), 5);
    const QRect geometry(icon[1].toInt(), icon[2].toInt(), icon[3].toInt(), icon[4].toInt());
    ASSERT_TRUE(pointAtIcon(tray, probe.processId(), [geometry] { return geometry; }));
    ASSERT_TRUE(xdotool({QStringLiteral("click"), QStringLiteral("3")}));
    // The open menu has the keyboard: Up selects its last item, Quit Quillmark.
    ASSERT_TRUE(waitUntil([&probe] { return visibleWindowsOf(probe.processId()).size() >= 2; }))
        << "the menu did not open";
    ASSERT_TRUE(xdotool({QStringLiteral("key"), QStringLiteral("--delay"), QStringLiteral("100"),
                         QStringLiteral("Up"), QStringLiteral("Return")}));
    // The event loop runs while the tools do, so the probe's end may already have been seen.
    ASSERT_TRUE(waitUntil([&probe] { return probe.state() == QProcess::NotRunning; }))
        << "the probe is still running";
    EXPECT_EQ(probe.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(probe.exitCode(), 0);
}

} // namespace
