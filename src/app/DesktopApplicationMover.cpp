// SPDX-License-Identifier: MIT
#include "app/DesktopApplicationMover.h"

#include "onboarding/MoveToApplications.h"
#include "platform/process/DetachedProcessLauncher.h"
#include "platform/process/QProcessCommandRunner.h"
#include "platform/qt/MessageBoxAlertPresenter.h"

#include <QCoreApplication>

namespace DesktopApplicationMover {

std::unique_ptr<ApplicationMover> make(Clock& clock)
{
    MoveToApplications::Services services;
    services.alerts = std::make_unique<MessageBoxAlertPresenter>();
    services.launcher = std::make_unique<DetachedProcessLauncher>();
    services.commands = std::make_shared<QProcessCommandRunner>();
    // Queued, so that it also ends a process whose event loop has not started yet.
    services.quit = [] {
        QMetaObject::invokeMethod(QCoreApplication::instance(), &QCoreApplication::quit,
                                  Qt::QueuedConnection);
    };
    return std::make_unique<MoveToApplications>(MoveLocations::ofThisProcess(), std::move(services),
                                                clock);
}

} // namespace DesktopApplicationMover
