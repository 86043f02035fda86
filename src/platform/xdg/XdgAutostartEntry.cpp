// SPDX-License-Identifier: MIT
#include "platform/xdg/XdgAutostartEntry.h"

#include "platform/xdg/DesktopEntry.h"
#include "platform/xdg/XdgPaths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {

bool isFalse(const QByteArray& value)
{
    return value.trimmed() == "false";
}

} // namespace

QString XdgAutostartEntry::currentProgram()
{
    return XdgPaths::runningProgram();
}

XdgAutostartEntry::XdgAutostartEntry(QString program)
    : m_program(std::move(program))
{}

QString XdgAutostartEntry::path()
{
    return XdgPaths::configHome() + QStringLiteral("/autostart/quillmark.desktop");
}

bool XdgAutostartEntry::isEnabled() const
{
    QFile file(path());
    if (!file.open(QIODevice::ReadOnly))
        return false;
    bool inMainGroup = false;
    while (!file.atEnd()) {
        const QByteArray line = file.readLine().trimmed();
        if (line.startsWith('[')) {
            inMainGroup = line == "[Desktop Entry]";
            continue;
        }
        if (!inMainGroup)
            continue;
        const qsizetype equals = line.indexOf('=');
        if (equals < 0)
            continue;
        const QByteArray key = line.left(equals).trimmed();
        const QByteArray value = line.mid(equals + 1);
        if (key == "Hidden" && value.trimmed() == "true")
            return false;
        if (key == "X-GNOME-Autostart-enabled" && isFalse(value))
            return false;
    }
    return true;
}

bool XdgAutostartEntry::enable(QString& failure) const
{
    const QString target = path();
    if (!QDir().mkpath(QFileInfo(target).absolutePath())) {
        failure =
            QStringLiteral("cannot create the folder %1").arg(QFileInfo(target).absolutePath());
        return false;
    }
    QSaveFile file(target);
    if (!file.open(QIODevice::WriteOnly)) {
        failure = QStringLiteral("cannot write %1: %2").arg(target, file.errorString());
        return false;
    }
    file.write(contents(m_program));
    if (!file.commit()) {
        failure = QStringLiteral("cannot write %1: %2").arg(target, file.errorString());
        return false;
    }
    return true;
}

bool XdgAutostartEntry::disable(QString& failure) const
{
    QFile file(path());
    if (!file.exists() || file.remove())
        return true;
    failure = QStringLiteral("cannot remove %1: %2").arg(file.fileName(), file.errorString());
    return false;
}

QByteArray XdgAutostartEntry::contents(const QString& program)
{
    QString text =
        QStringLiteral("[Desktop Entry]\n"
                       "Type=Application\n"
                       "Name=Quillmark\n"
                       "Comment=Translate, fix grammar and improve AI prompts in any app\n"
                       "Exec=%1\n"
                       "Terminal=false\n"
                       "X-GNOME-Autostart-enabled=true\n");
    return text.arg(DesktopEntry::execArgument(program)).toUtf8();
}
