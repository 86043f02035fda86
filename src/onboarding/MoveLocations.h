// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringList>

// Where the move out of a mounted volume looks and writes. Tests point every path into a
// temporary tree.
struct MoveLocations {
    // The file this copy runs from: the AppImage ($APPIMAGE) when it runs as one,
    // otherwise the executable itself.
    QString executable;
    QStringList arguments;
    // Folders under which removable media and disk images are mounted, one volume per
    // entry below them: /media/USER, /run/media/USER and /Volumes.
    QStringList mountRoots;
    // ~/Applications, created when missing.
    QString applicationsDir;
    // $XDG_DATA_HOME: the Trash and the desktop entries live below it.
    QString dataHome;
    // The kernel's list of mounts, for finding a volume's block device.
    QString mountTable = QStringLiteral("/proc/self/mounts");

    static MoveLocations ofThisProcess();
};
