// SPDX-License-Identifier: MIT
#include "platform/xdg/DesktopEntry.h"

#include "core/AppIdentity.h"

#include <QDir>
#include <QSaveFile>

namespace DesktopEntry {

QString execArgument(const QString& argument)
{
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    bool needsQuotes = argument.isEmpty();
    for (const QChar c : argument)
        needsQuotes = needsQuotes || reserved.contains(c);
    QString quoted = argument;
    quoted.replace(u'%', QStringLiteral("%%"));
    if (!needsQuotes)
        return quoted;
    QString escaped;
    for (const QChar c : std::as_const(quoted)) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
            escaped += u'\\';
        escaped += c;
    }
    // The Exec value is itself a string value, whose reading turns "\\" into "\" before
    // the quoting rules apply, so every backslash is doubled once more.
    escaped.replace(u'\\', QStringLiteral("\\\\"));
    return u'"' + escaped + u'"';
}

QString contents(const QString& executable)
{
    const QString name = QString::fromUtf8(AppIdentity::name);
    // The same launcher as an installed package has, pointing at this copy instead.
    return QStringLiteral("[Desktop Entry]\n"
                          "Type=Application\n"
                          "Name=%1\n"
                          "GenericName=Text Rewriter\n"
                          "Comment=Translate, fix grammar and improve AI prompts in any "
                          "application\n"
                          "Exec=%2\n"
                          "TryExec=%3\n"
                          "Icon=quillmark\n"
                          "Terminal=false\n"
                          "Categories=Utility;TextTools;\n"
                          "Keywords=translate;grammar;rewrite;prompt;AI;\n"
                          "StartupNotify=false\n"
                          "X-KDE-Wayland-Interfaces=org_kde_kwin_fake_input\n")
        .arg(name, execArgument(executable),
             QString(executable).replace(u'\\', QStringLiteral("\\\\")));
}

std::optional<QString> write(const QString& dataHome, const QString& executable)
{
    const QString folder = dataHome + QStringLiteral("/applications");
    if (!QDir().mkpath(folder))
        return QStringLiteral("cannot create %1").arg(folder);
    QSaveFile file(folder + u'/' + QString::fromLatin1(fileName));
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    file.write(contents(executable).toUtf8());
    if (!file.commit())
        return file.errorString();
    return std::nullopt;
}

} // namespace DesktopEntry
