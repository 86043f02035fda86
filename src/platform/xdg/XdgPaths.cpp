// SPDX-License-Identifier: MIT
#include "platform/xdg/XdgPaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>

namespace XdgPaths {

QString configHome()
{
    const QString located = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    if (located.isEmpty() || QDir::isRelativePath(qEnvironmentVariable("XDG_CONFIG_HOME", located)))
        return QDir::homePath() + QStringLiteral("/.config");
    return located;
}

QString appImage()
{
    return qEnvironmentVariable("APPIMAGE");
}

QString runningProgram()
{
    const QString image = appImage();
    return image.isEmpty() ? QCoreApplication::applicationFilePath() : image;
}

} // namespace XdgPaths
