// SPDX-License-Identifier: MIT
#include "onboarding/UnmountCommand.h"

#include <QDir>

namespace {

// The mount table writes space, tab, line feed and backslash as three octal digits.
QString unescapeMountField(const QByteArray& field)
{
    QByteArray out;
    for (qsizetype i = 0; i < field.size(); ++i) {
        if (field.at(i) == '\\' && i + 3 < field.size()) {
            bool ok = false;
            const int code = field.mid(i + 1, 3).toInt(&ok, 8);
            if (ok) {
                out.append(char(code));
                i += 3;
                continue;
            }
        }
        out.append(field.at(i));
    }
    return QString::fromLocal8Bit(out);
}

} // namespace

QString UnmountCommand::deviceOf(const QString& volume, const QByteArray& mountTable)
{
    const QString wanted = QDir::cleanPath(volume);
    QString device;
    for (const QByteArray& line : mountTable.split('\n')) {
        const QList<QByteArray> fields = line.split(' ');
        if (fields.size() < 2)
            continue;
        // A later line mounted over an earlier one at the same place is the one in use.
        if (QDir::cleanPath(unescapeMountField(fields.at(1))) == wanted)
            device = unescapeMountField(fields.at(0));
    }
    return device;
}

QList<UnmountCommand> UnmountCommand::candidatesFor(const QString& volume,
                                                    const CommandRunner& tools,
                                                    const QByteArray& mountTable)
{
    QList<UnmountCommand> commands;
    if (const QString gio = tools.findExecutable(QStringLiteral("gio")); !gio.isEmpty())
        commands.append({gio, {QStringLiteral("mount"), QStringLiteral("--unmount"), volume}});
    const QString device = deviceOf(volume, mountTable);
    const QString udisksctl = tools.findExecutable(QStringLiteral("udisksctl"));
    if (!udisksctl.isEmpty() && device.startsWith(u'/')) {
        commands.append({udisksctl,
                         {QStringLiteral("unmount"), QStringLiteral("--block-device"), device,
                          QStringLiteral("--no-user-interaction")}});
    }
    if (const QString umount = tools.findExecutable(QStringLiteral("umount")); !umount.isEmpty())
        commands.append({umount, {volume}});
    return commands;
}
