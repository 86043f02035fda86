// SPDX-License-Identifier: MIT
#include "onboarding/MoveLocations.h"

#include "platform/xdg/XdgPaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>
#include <pwd.h>
#include <unistd.h>

namespace {

QString userName()
{
    // The password database, not $USER: that is what udisks names the mount folder after.
    if (const passwd* entry = ::getpwuid(::getuid()); entry && entry->pw_name)
        return QString::fromLocal8Bit(entry->pw_name);
    return qEnvironmentVariable("USER");
}

} // namespace

MoveLocations MoveLocations::ofThisProcess()
{
    MoveLocations locations;
    locations.executable = QDir::cleanPath(XdgPaths::runningProgram());
    locations.arguments = QCoreApplication::arguments();
    const QString user = userName();
    if (!user.isEmpty()) {
        locations.mountRoots << QStringLiteral("/media/") + user
                             << QStringLiteral("/run/media/") + user;
    }
    locations.mountRoots << QStringLiteral("/Volumes");
    locations.applicationsDir = QDir::homePath() + QStringLiteral("/Applications");
    locations.dataHome = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return locations;
}
