// SPDX-License-Identifier: MIT
// The installed desktop entry, opened the way a desktop's launcher opens it, starts the tray
// application; it is the one instance of the session, which a second start asks to open its
// settings and `quillmark trigger` finds (it reaches the panel in PanelTriggerTest).
#include "E2eTest.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QFileInfo>
#include <QStandardPaths>
#include <csignal>

using namespace Qt::StringLiterals;

namespace {

const QString busName = u"com.veltra.quillmark"_s;

bool nameOwned()
{
    return QDBusConnection::sessionBus().interface()->isServiceRegistered(busName).value();
}

} // namespace

TEST_F(E2eTest, TheDesktopEntryStartsTheOneInstanceOfTheSession)
{
    const ToolResult early = runTool(binary(), {u"trigger"_s});
    EXPECT_EQ(early.exitCode, 1);
    EXPECT_EQ(early.error, "quillmark trigger: Quillmark is not running.\n");
    const QString gio = QStandardPaths::findExecutable(u"gio"_s);
    if (gio.isEmpty())
        GTEST_SKIP() << "gio (libglib2.0-bin) launches desktop entries here";
    if (!qEnvironmentVariableIsEmpty("QUILLMARK_E2E_BINARY"))
        GTEST_SKIP() << "the entry is checked in the prefix this build installed";
    ASSERT_FALSE(nameOwned()) << "another quillmark is running on this session bus";

    const QFileInfo installed(binary());
    const QString entry = installed.absolutePath() + u"/../share/applications/quillmark.desktop"_s;
    // The entry names the program, as entries do, so the prefix's bin folder goes on the path.
    qputenv("PATH", (installed.absolutePath() + u':' + qEnvironmentVariable("PATH")).toUtf8());
    const ToolResult launched = runTool(gio, {u"launch"_s, entry});
    ASSERT_EQ(launched.exitCode, 0) << "step failed: gio launch " << entry.toStdString() << ": "
                                    << launched.error.toStdString();

    ASSERT_TRUE(waitUntil(nameOwned)) << "step failed: the launched program did not take "
                                      << busName.toStdString() << " on the session bus";
    const uint pid = QDBusConnection::sessionBus().interface()->servicePid(busName).value();
    ASSERT_GT(pid, 0u);
    const QString command = QFileInfo(u"/proc/%1/exe"_s.arg(pid)).canonicalFilePath();
    EXPECT_EQ(command, installed.canonicalFilePath()) << "step failed: the entry started another "
                                                         "program than the installed quillmark";
    EXPECT_TRUE(waitUntil([&] { return m_trayHost.holdsWindowOf(pid); }))
        << "step failed: the launched quillmark put no icon in the system tray (or ended "
           "when its launcher closed its output)";
    // Started again, as from the application menu: the running one opens its settings.
    const ToolResult second = runTool(binary(), {});
    EXPECT_EQ(second.exitCode, 0);
    EXPECT_TRUE(
        second.error.contains("Quillmark is already running; its settings window is open.\n"))
        << second.error.toStdString();
    EXPECT_TRUE(waitUntil([&] {
        return !visibleWindowsOf(pid).filter(u"Quillmark Settings"_s).isEmpty();
    })) << "the settings window did not open";
    ::kill(pid_t(pid), SIGTERM);
    EXPECT_TRUE(waitUntil([] { return !nameOwned(); }))
        << "step failed: the launched quillmark did not end on SIGTERM";
}
