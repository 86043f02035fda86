// SPDX-License-Identifier: MIT
#include "platform/x11/X11AccessibilityPermission.h"

#include "core/BuildConfig.h"
#include "core/Log.h"
#include "platform/process/DetachedProcessLauncher.h"

#include <QCoreApplication>
#include <QProcess>
#include <cstdlib>
#include <memory>
#include <xcb/xcb.h>
#include <xcb/xinput.h>
#include <xcb/xtest.h>

namespace {

// The accessibility settings of each desktop, by the name XDG_CURRENT_DESKTOP gives it.
// Where a desktop has shipped its settings program under two names, both are listed.
struct SettingsCommand {
    const char* desktop;
    const char* program;
    const char* argument;
};

// clang-format off
constexpr SettingsCommand settingsCommands[] = {
    {"GNOME",      "gnome-control-center",         "universal-access"},
    {"Unity",      "gnome-control-center",         "universal-access"},
    {"Budgie",     "budgie-control-center",        "universal-access"},
    {"X-Cinnamon", "cinnamon-settings",            "universal-access"},
    {"KDE",        "systemsettings",               "kcm_access"},
    {"KDE",        "systemsettings5",              "kcm_access"},
    {"XFCE",       "xfce4-accessibility-settings", nullptr},
    {"MATE",       "mate-at-properties",           nullptr},
};
// clang-format on

struct FreeDeleter {
    void operator()(void* pointer) const { std::free(pointer); }
};
template <class T> using XcbReply = std::unique_ptr<T, FreeDeleter>;

// The input extensions the server lacks, by the names `xdpyinfo` lists them under (XInput
// counts only from version 2); the display itself when there is no server to ask.
QStringList missingInputExtensions(X11Connection& x11)
{
    xcb_connection_t* connection = x11.get();
    if (!connection)
        return {QStringLiteral("X display")};
    QStringList missing;
    const xcb_query_extension_reply_t* xtest = xcb_get_extension_data(connection, &xcb_test_id);
    if (!xtest || !xtest->present)
        missing.append(QStringLiteral("XTEST"));
    const xcb_query_extension_reply_t* xinput = xcb_get_extension_data(connection, &xcb_input_id);
    bool xinput2 = xinput && xinput->present;
    if (xinput2) {
        XcbReply<xcb_input_xi_query_version_reply_t> version(xcb_input_xi_query_version_reply(
            connection, xcb_input_xi_query_version(connection, 2, 2), nullptr));
        xinput2 = version && version->major_version >= 2;
    }
    if (!xinput2)
        missing.append(QStringLiteral("XInputExtension"));
    return missing;
}

} // namespace

X11AccessibilityPermission::Launcher X11AccessibilityPermission::Launcher::system()
{
    Launcher launcher;
    launcher.startDetached = [](const QString& program, const QStringList& arguments,
                                QString& failure) {
        QProcess process;
        process.setProgram(program);
        process.setArguments(arguments);
        if (process.startDetached())
            return true;
        failure = process.errorString();
        return false;
    };
    launcher.startAfterExit = [](const QString& program, const QStringList& arguments) {
        return DetachedProcessLauncher().startAfterThisProcess(program, arguments);
    };
    launcher.quit = [] {
        QMetaObject::invokeMethod(
            QCoreApplication::instance(), [] { QCoreApplication::quit(); }, Qt::QueuedConnection);
    };
    return launcher;
}

QUrl X11AccessibilityPermission::permissionsHelpPage()
{
    // The installed README explains what Quillmark needs from the desktop; it is on this
    // machine, so the link works offline and never leads to an address we do not control.
    QUrl page =
        QUrl::fromLocalFile(QString::fromUtf8(BuildConfig::docDir) + QStringLiteral("/README.md"));
    page.setFragment(QStringLiteral("permissions"));
    return page;
}

X11AccessibilityPermission::X11AccessibilityPermission(X11Connection& x11, Launcher launcher)
    : m_launcher(std::move(launcher))
    , m_x11(x11)
{}

bool X11AccessibilityPermission::isTrusted() const
{
    if (!m_extensionsPresent)
        m_extensionsPresent = missingInputExtensions(m_x11).isEmpty();
    return m_extensionsPresent;
}

QStringList X11AccessibilityPermission::missingRequirements() const
{
    return isTrusted() ? QStringList() : missingInputExtensions(m_x11);
}

bool X11AccessibilityPermission::promptOncePerLaunch()
{
    if (!m_prompted) {
        m_prompted = true;
        // Nothing can be granted on X11; what is missing, if anything, is a server extension,
        // which the panel's guidance covers.
        Log::app().info(QStringLiteral("raising the accessibility prompt (once per launch)"));
    }
    return isTrusted();
}

bool X11AccessibilityPermission::promptIfNeeded()
{
    return isTrusted();
}

void X11AccessibilityPermission::openSystemSettings()
{
    QString failure;
    const QStringList desktops =
        qEnvironmentVariable("XDG_CURRENT_DESKTOP").split(u':', Qt::SkipEmptyParts);
    for (const QString& desktop : desktops) {
        for (const SettingsCommand& command : settingsCommands) {
            if (desktop.compare(QLatin1String(command.desktop), Qt::CaseInsensitive) != 0)
                continue;
            QStringList arguments;
            if (command.argument)
                arguments.append(QString::fromLatin1(command.argument));
            if (m_launcher.startDetached(QString::fromLatin1(command.program), arguments, failure))
                return;
        }
    }
    const QString page = permissionsHelpPage().toString();
    if (!m_launcher.startDetached(QStringLiteral("xdg-open"), {page}, failure))
        Log::app().error(QStringLiteral("opening %1 failed: %2").arg(page, failure));
}

void X11AccessibilityPermission::relaunch()
{
    Log::app().info(QStringLiteral("relaunching to pick up the accessibility grant"));
    // Started at once, the new copy would find this one still holding the single-instance
    // name, say "already running" and exit, and then this one would quit too.
    if (const std::optional<QString> failure = m_launcher.startAfterExit(
            QCoreApplication::applicationFilePath(), QCoreApplication::arguments().mid(1))) {
        Log::app().error(QStringLiteral("relaunch failed: %1").arg(*failure));
        return;
    }
    m_launcher.quit();
}
