// SPDX-License-Identifier: MIT
// A tray icon in a process of its own, for the desktop test of its menu: it prints
// "icon X Y WIDTH HEIGHT" once the tray shows the icon, "settings" for each Settings… chosen,
// and runs until it is quit.
#include "core/SystemClock.h"
#include "support/fakes/FakeAccessibilityPermission.h"
#include "ui/tray/StatusItemController.h"

#include <QApplication>
#include <QTimer>
#include <cstdio>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    FakeAccessibilityPermission accessibility;
    SystemClock clock;
    StatusItemController controller(accessibility, clock,
                                    XdgAutostartEntry(QStringLiteral("/bin/true")));
    controller.onOpenSettings = [] {
        std::printf("settings\n");
        std::fflush(stdout);
    };
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        const QRect icon = controller.trayIcon().geometry();
        if (icon.isEmpty())
            return;
        std::printf("icon %d %d %d %d\n", icon.x(), icon.y(), icon.width(), icon.height());
        std::fflush(stdout);
        poll.stop();
    });
    poll.start(50);
    return app.exec();
}
