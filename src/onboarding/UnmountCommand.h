// SPDX-License-Identifier: MIT
#pragma once

#include "platform/CommandRunner.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// A command that unmounts a volume for the user without asking for a password: gio (it
// goes through the desktop's volume monitor), udisks for the volume's block device, and
// umount for a mount the user is allowed to undo. Each knows mounts the others may not,
// so they are tried in that order until one succeeds.
struct UnmountCommand {
    QString program;
    QStringList arguments;

    bool operator==(const UnmountCommand&) const = default;

    // The installed tools' commands in the order to try them; `mountTable` is the text of
    // /proc/self/mounts. Empty when no tool is installed.
    static QList<UnmountCommand> candidatesFor(const QString& volume, const CommandRunner& tools,
                                               const QByteArray& mountTable);
    // The block device mounted at `volume` in `mountTable`; empty when it is not mounted.
    static QString deviceOf(const QString& volume, const QByteArray& mountTable);
};
