// SPDX-License-Identifier: MIT
#include "app/DesktopUpdater.h"

#include "core/AppIdentity.h"
#include "platform/process/DetachedProcessLauncher.h"
#include "platform/qt/DesktopUrlOpener.h"
#include "platform/xdg/XdgPaths.h"
#include "ui/updates/DialogUpdateUserDriver.h"
#include "updates/UpdateController.h"

#include <QCoreApplication>
#include <QDir>

namespace DesktopUpdater {

std::unique_ptr<Updater> make(Clock& clock, UpdateConfig& config)
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
    const QString appImage = XdgPaths::appImage();
    if (!appImage.isEmpty())
        services.appImagePath = QDir::cleanPath(appImage);
    return std::make_unique<UpdateController>(std::move(services), clock, config);
}

} // namespace DesktopUpdater
