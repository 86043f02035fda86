// SPDX-License-Identifier: MIT
#include "platform/x11/X11AccessibilityPermission.h"

#include "support/ScopedEnvironment.h"
#include "support/TestEnvironment.h"

#include <QCoreApplication>
#include <gtest/gtest.h>
#include <optional>

namespace {

// Starts nothing: writes down every program it is asked to start, as "program argument…"
// (with "after exit: " in front for a start once this process has ended), and fails for the
// ones the test calls missing.
class RecordingLauncher {
public:
    X11AccessibilityPermission::Launcher launcher()
    {
        // Answers the failure of a start, if it fails.
        const auto start = [this](const QString& prefix, const QString& program,
                                  const QStringList& arguments) -> std::optional<QString> {
            started.append(prefix + (QStringList{program} + arguments).join(u' '));
            if (!missing.contains(program))
                return std::nullopt;
            return QStringLiteral("No such file or directory");
        };
        return {[start](const QString& program, const QStringList& arguments, QString& failure) {
                    failure = start({}, program, arguments).value_or(QString());
                    return failure.isEmpty();
                },
                [start](const QString& program, const QStringList& arguments) {
                    return start(QStringLiteral("after exit: "), program, arguments);
                },
                [this] { ++quits; }};
    }

    QStringList started;
    QStringList missing;
    int quits = 0;
    X11Connection noServer; // never asked: these tests start programs only
};

const QString helpPage = X11AccessibilityPermission::permissionsHelpPage().toString();

// The desktop's own tool first, the next desktop of the list and the help page after it;
// only when nothing could be opened is that logged.
TEST(X11AccessibilityPermission, OpensTheDesktopsAccessibilitySettings)
{
    const QString failed = "error app: opening " + helpPage + " failed: No such file or directory";
    const struct {
        const char* desktop;
        QStringList missing, attempts, log = {};
    } rows[] = {
        // clang-format off
        {"KDE", {"systemsettings"}, {"systemsettings kcm_access", "systemsettings5 kcm_access"}},
        {"GNOME", {"gnome-control-center"}, {"gnome-control-center universal-access", "xdg-open " + helpPage}},
        {"openbox", {}, {"xdg-open " + helpPage}},
        {"openbox", {"xdg-open"}, {"xdg-open " + helpPage}, {failed}},
        // clang-format on
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(
            QStringLiteral("%1 without %2").arg(row.desktop, row.missing.join(u' ')).toStdString());
        ScopedEnvironment desktop;
        desktop.set("XDG_CURRENT_DESKTOP", row.desktop);
        ScopedLogCapture log;
        RecordingLauncher launcher;
        launcher.missing = row.missing;
        X11AccessibilityPermission(launcher.noServer, launcher.launcher()).openSystemSettings();
        EXPECT_EQ(launcher.started, row.attempts);
        EXPECT_EQ(log.lines(), row.log);
    }
}

TEST(X11AccessibilityPermission, RelaunchStartsTheNewInstanceOnlyAfterThisOneExits)
{
    const QString self = QCoreApplication::applicationFilePath();
    const QString line = "info app: relaunching to pick up the accessibility grant";
    const std::tuple<QStringList, int, QStringList> rows[] = {
        {{}, 1, {line}},
        {{self}, 0, {line, "error app: relaunch failed: No such file or directory"}},
    };
    for (const auto& [missing, quits, lines] : rows) {
        ScopedLogCapture log;
        RecordingLauncher launcher;
        launcher.missing = missing;
        X11AccessibilityPermission(launcher.noServer, launcher.launcher()).relaunch();
        EXPECT_EQ(
            launcher.started,
            QStringList({"after exit: " +
                         (QStringList{self} + QCoreApplication::arguments().mid(1)).join(u' ')}));
        EXPECT_EQ(launcher.quits, quits);
        EXPECT_EQ(log.lines(), lines);
    }
}

} // namespace
