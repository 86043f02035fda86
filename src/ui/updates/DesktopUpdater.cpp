// SPDX-License-Identifier: MIT
#include "ui/updates/DesktopUpdater.h"

#include "app/AppIdentity.h"
#include "platform/process/DetachedProcessLauncher.h"
#include "platform/qtwidgets/DesktopUrlOpener.h"
#include "settings/updates/UpdateController.h"
#include "ui/updates/DialogUpdateUserDriver.h"

#include <QCoreApplication>
#include <QDir>

namespace DesktopUpdater {

std::unique_ptr<Updater> make()
{
    UpdateServices services;
    services.userDriver = std::make_unique<DialogUpdateUserDriver>(AppIdentity::version());
    services.urlOpener = std::make_unique<DesktopUrlOpener>();
    services.launcher = std::make_unique<DetachedProcessLauncher>();
    // Queued, so that it also ends a process whose event loop has not started yet.
    services.quit = [] {
        QMetaObject::invokeMethod(QCoreApplication::instance(), &QCoreApplication::quit,
                                  Qt::QueuedConnection);
    };
    const QString appImage = qEnvironmentVariable("APPIMAGE");
    if (!appImage.isEmpty())
        services.appImagePath = QDir::cleanPath(appImage);
    return std::make_unique<UpdateController>(std::move(services));
}

} // namespace DesktopUpdater
