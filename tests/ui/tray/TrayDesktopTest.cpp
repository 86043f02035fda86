// SPDX-License-Identifier: MIT
#include "support/TestEnvironment.h"
#include "support/fakes/FakeAccessibilityPermission.h"
#include "support/fakes/FakeDoubleTapTrigger.h"
#include "support/fakes/FakeKeyboardLayout.h"
#include "ui/DesktopSession.h"
#include "ui/settings/SettingsWindowController.h"
#include "ui/tray/StatusItemController.h"

#include <QCoreApplication>
#include <QMenu>
#include <QProcess>
#include <QSystemTrayIcon>
#include <gtest/gtest.h>

using namespace DesktopSession;

namespace {

// A tray host in the test desktop for the life of the object.
class Trayer {
public:
    Trayer()
    {
        m_process.start(QStringLiteral("trayer"),
                        {QStringLiteral("--edge"), QStringLiteral("top"), QStringLiteral("--align"),
                         QStringLiteral("right"), QStringLiteral("--height"), QStringLiteral("24"),
                         QStringLiteral("--widthtype"), QStringLiteral("request")});
    }
    ~Trayer()
    {
        m_process.terminate();
        if (!m_process.waitForFinished(5000))
            m_process.kill();
        m_process.waitForFinished(5000);
    }
    Trayer(const Trayer&) = delete;
    Trayer& operator=(const Trayer&) = delete;

    [[nodiscard]] bool waitUntilRunning()
    {
        return m_process.waitForStarted(10000) &&
               waitUntil([] { return QSystemTrayIcon::isSystemTrayAvailable(); });
    }

private:
    QProcess m_process;
};

// The tray embeds the icon's window some time after the icon knows its place, so a click
// is sent only once the X server shows a window of the program at that place.
[[nodiscard]] bool pointAtIcon(const std::function<QRect()>& iconGeometry, const QString& program)
{
    QRect icon;
    const bool embedded = waitUntil([&] {
        icon = iconGeometry();
        const auto found = xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                    QStringLiteral("--classname"), program});
        if (!found)
            return false;
        for (const QString& window : found->split(u'\n', Qt::SkipEmptyParts)) {
            if (windowGeometry(window.toULongLong()) == icon)
                return true;
        }
        return false;
    });
    return embedded && movePointer(icon.center());
}

// How many windows of the program the X server shows: the icon, and the menu when open.
qsizetype visibleWindows(const QString& program)
{
    const auto found = xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                QStringLiteral("--classname"), program});
    return found ? found->split(u'\n', Qt::SkipEmptyParts).size() : 0;
}

class TrayDesktopTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (qEnvironmentVariableIsEmpty("DISPLAY"))
            GTEST_SKIP() << "needs the test desktop (scripts/test-session --x11)";
        ASSERT_TRUE(trayer.waitUntilRunning()) << "trayer did not start; is it installed?";
    }

    ScopedConfigHome config;
    Trayer trayer;
};

TEST_F(TrayDesktopTest, IconMenuAndSettingsWorkInARealTray)
{
    FakeAccessibilityPermission accessibility;
    FakeDoubleTapTrigger doubleTap;
    FakeKeyboardLayout layout;
    SettingsWindowController settings(doubleTap, accessibility, layout);
    StatusItemController tray(accessibility, XdgAutostartEntry(QStringLiteral("/bin/true")));
    tray.onOpenSettings = [&settings] { settings.show(); };

    ASSERT_TRUE(pointAtIcon([&tray] { return tray.trayIcon().geometry(); },
                            QCoreApplication::applicationName()));
    ASSERT_TRUE(click(3));
    QMenu& menu = tray.menu();
    ASSERT_TRUE(waitUntil([&menu] { return menu.isVisible(); })) << "the menu did not open";
    QAction* settingsItem = nullptr;
    for (QAction* action : menu.actions()) {
        if (action->text() == QStringLiteral("Settings…"))
            settingsItem = action;
    }
    ASSERT_NE(settingsItem, nullptr);
    ASSERT_TRUE(waitUntil([&] { return !menu.actionGeometry(settingsItem).isEmpty(); }));
    ASSERT_TRUE(movePointer(menu.mapToGlobal(menu.actionGeometry(settingsItem).center())));
    ASSERT_TRUE(click(1));
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
    const QString program = QStringLiteral("tray_probe");
    ASSERT_TRUE(pointAtIcon([geometry] { return geometry; }, program));
    ASSERT_TRUE(click(3));
    // The open menu has the keyboard: Up selects its last item, Quit Quillmark.
    ASSERT_TRUE(waitUntil([&program] { return visibleWindows(program) >= 2; }))
        << "the menu did not open";
    ASSERT_TRUE(xdotool({QStringLiteral("key"), QStringLiteral("--delay"), QStringLiteral("100"),
                         QStringLiteral("Up"), QStringLiteral("Return")}));
    ASSERT_TRUE(probe.waitForFinished(10000)) << "the probe is still running";
    EXPECT_EQ(probe.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(probe.exitCode(), 0);
}

} // namespace
