// SPDX-License-Identifier: MIT
#include "app/TrayApplication.h"

#include "app/AppDelegate.h"
#include "app/DesktopWiring.h"
#include "platform/DesktopSession.h"
#include "platform/dbus/SingleInstance.h"

#include <QApplication>
#include <QSocketNotifier>
#include <QThreadPool>
#include <QTimer>
#include <csignal>
#include <cstdio>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// SIGTERM and SIGINT end the event loop like the menu's Quit does. A signal handler may
// do almost nothing, so it only writes a byte into a socket pair; the main thread sees the
// byte through a socket notifier and quits from there.
class TerminationSignals {
public:
    TerminationSignals()
    {
        if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, s_sockets) != 0)
            return;
        m_notifier = std::make_unique<QSocketNotifier>(s_sockets[1], QSocketNotifier::Read);
        QObject::connect(m_notifier.get(), &QSocketNotifier::activated, [] {
            char byte = 0;
            [[maybe_unused]] const ssize_t read = ::read(s_sockets[1], &byte, 1);
            QCoreApplication::quit();
        });
        struct sigaction action = {};
        action.sa_handler = &TerminationSignals::handle;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        ::sigaction(SIGTERM, &action, nullptr);
        ::sigaction(SIGINT, &action, nullptr);
        // The tray outlives the launcher or terminal that started it; a warning written
        // to an output nobody reads any more must not end it.
        ::signal(SIGPIPE, SIG_IGN);
    }

    ~TerminationSignals()
    {
        ::signal(SIGTERM, SIG_DFL);
        ::signal(SIGINT, SIG_DFL);
        m_notifier.reset();
        if (s_sockets[0] >= 0) {
            ::close(s_sockets[0]);
            ::close(s_sockets[1]);
            s_sockets[0] = s_sockets[1] = -1;
        }
    }

    TerminationSignals(const TerminationSignals&) = delete;
    TerminationSignals& operator=(const TerminationSignals&) = delete;

private:
    static void handle(int)
    {
        const char byte = 1;
        [[maybe_unused]] const ssize_t written = ::write(s_sockets[0], &byte, 1);
    }

    static inline int s_sockets[2] = {-1, -1};
    std::unique_ptr<QSocketNotifier> m_notifier;
};

} // namespace

int runTrayApplication(int argc, char** argv)
{
    const DesktopSession session = DesktopSession::fromEnvironment();
    // Through XWayland the panel lands exactly where it is asked and the application in
    // front keeps the focus; natively the compositor would place it and give it the focus.
    if (session.runsQtThroughXWayland() && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication app(argc, argv);
    // An accessory process: no main window, and closing a window (settings, guide) never
    // ends it. Only the menu's Quit or a termination signal does.
    app.setQuitOnLastWindowClosed(false);
    // The log is installed from here on; the desktop's adapters are chosen further down.
    DesktopWiring desktop(session);

    SingleInstance instance;
    switch (instance.claim()) {
    case SingleInstance::Claim::owned:
        break;
    case SingleInstance::Claim::alreadyRunning:
        // Started again from the application menu: the running one shows its settings, so
        // the start is seen to do something.
        if (SingleInstance::askRunningInstanceToOpenSettings())
            std::fputs("Quillmark is already running; its settings window is open.\n", stderr);
        else
            std::fputs("Quillmark is already running.\n", stderr);
        return 0;
    case SingleInstance::Claim::noSessionBus:
        std::fputs("quillmark: no D-Bus session bus; `quillmark trigger` cannot reach this "
                   "instance and a second one would not be noticed.\n",
                   stderr);
        break;
    }

    TerminationSignals terminationSignals;
    AppDelegate delegate(desktop.takeComponents(), desktop.keyboardLayout(), desktop.clock(),
                         desktop.secretStore(), desktop.preferences());
    instance.onTrigger = [&delegate] { delegate.togglePanel(QStringLiteral("trigger")); };
    instance.onOpenSettings = [&delegate] { delegate.openSettingsForSecondStart(); };
    // The launch sequence runs from inside the event loop, as a platform's "did finish
    // launching" would, so that anything it starts (a dialog, a quit) behaves normally.
    QTimer::singleShot(0, &delegate, &AppDelegate::launch);

    const int code = app.exec();
    // The key migration may still be talking to the keyring through the wiring's secret
    // store, which goes away with this function.
    QThreadPool::globalInstance()->waitForDone();
    return code;
}
