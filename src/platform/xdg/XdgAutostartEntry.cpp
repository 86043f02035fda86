// SPDX-License-Identifier: MIT
#include "platform/xdg/XdgAutostartEntry.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {

// Exec= quoting of the desktop entry format: an argument with reserved characters is put
// in double quotes with ", `, $ and \ escaped by a backslash; the value as a whole is a
// string, so every backslash is then doubled once more.
QString execValue(const QString& program)
{
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    bool needsQuotes = program.isEmpty();
    for (const QChar c : program)
        needsQuotes = needsQuotes || reserved.contains(c);
    QString argument = program;
    if (needsQuotes) {
        QString quoted;
        for (const QChar c : program) {
            if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
                quoted += u'\\';
            quoted += c;
        }
        argument = u'"' + quoted + u'"';
    }
    argument.replace(u'\\', QStringLiteral("\\\\"));
    // A literal % would start a field code.
    argument.replace(u'%', QStringLiteral("%%"));
    return argument;
}

bool isFalse(const QByteArray& value)
{
    return value.trimmed() == "false";
}

} // namespace

QString XdgAutostartEntry::currentProgram()
{
    const QString appImage = qEnvironmentVariable("APPIMAGE");
    if (!appImage.isEmpty())
        return appImage;
    return QCoreApplication::applicationFilePath();
}

XdgAutostartEntry::XdgAutostartEntry(QString program)
    : m_program(std::move(program))
{}

QString XdgAutostartEntry::path()
{
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (base.isEmpty() || QDir::isRelativePath(base))
        base = QDir::homePath() + QStringLiteral("/.config");
    return base + QStringLiteral("/autostart/quillmark.desktop");
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
    return text.arg(execValue(program)).toUtf8();
}
