// SPDX-License-Identifier: MIT
#pragma once

#include "platform/AccessibilityPermission.h"
#include "platform/x11/X11Connection.h"

#include <QString>
#include <QStringList>
#include <QUrl>
#include <functional>
#include <optional>

// X11 asks for no grant: any client may read the keyboard state and send key presses, as
// long as the server has the XTest extension (to send them) and XInput 2 (to watch raw
// input without grabbing it). Being "trusted" therefore means that both are there. There is
// no prompt to raise, but the once-per-launch rule and its log line are kept, so the run
// flow behaves as everywhere else. Main thread only; the application holds one instance,
// which makes the rule once per process.
class X11AccessibilityPermission final : public AccessibilityPermission {
public:
    // How programs are started and the application ended; replaced in tests.
    struct Launcher {
        // Starts the program detached from this process; false, with the reason in
        // `failure`, when it could not be started (for one, when it is not installed).
        std::function<bool(const QString& program, const QStringList& arguments, QString& failure)>
            startDetached;
        // Starts the program once this process has exited (ProcessLauncher); nothing on
        // success, otherwise the reason it could not be started.
        std::function<std::optional<QString>(const QString& program, const QStringList& arguments)>
            startAfterExit;
        // Ends the application once control returns to the event loop.
        std::function<void()> quit;

        static Launcher system();
    };

    // The README's section on permissions, opened where the desktop has no accessibility
    // settings of its own.
    static QUrl permissionsHelpPage();

    // The server is asked on the connection, which must outlive the object.
    explicit X11AccessibilityPermission(X11Connection& x11, Launcher launcher = Launcher::system());

    bool isTrusted() const override;
    // "XTEST" and/or "XInputExtension" (XInput 2), or "X display" without a server.
    QStringList missingRequirements() const override;
    bool promptOncePerLaunch() override;
    bool promptIfNeeded() override;
    // The accessibility settings of the desktop named by XDG_CURRENT_DESKTOP, or the help
    // page in the browser when there are none or none could be started.
    void openSystemSettings() override;
    // Quits this instance and has a new one with the same arguments started once this one
    // has exited, so that the new one finds the single-instance name free; a failed start
    // is logged and this instance keeps running.
    void relaunch();

private:
    Launcher m_launcher;
    bool m_prompted = false;
    X11Connection& m_x11;
    // Extensions never leave a running server, so a positive answer is kept.
    mutable bool m_extensionsPresent = false;
};
