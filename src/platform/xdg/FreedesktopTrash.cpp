// SPDX-License-Identifier: MIT
#include "platform/xdg/FreedesktopTrash.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUrl>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

QString systemError(int code)
{
    return QString::fromLocal8Bit(std::strerror(code));
}

QByteArray infoRecord(Clock& clock, const QString& originalPath)
{
    const QString deleted = clock.wallNow().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss"));
    return QByteArrayLiteral("[Trash Info]\nPath=") +
           QUrl::toPercentEncoding(originalPath, QByteArrayLiteral("/")) +
           QByteArrayLiteral("\nDeletionDate=") + deleted.toLatin1() + '\n';
}

// Claims a name in the Trash by creating its info file exclusively, so two programs
// trashing "Quillmark.AppImage" at once never take the same name.
std::optional<QString> claimName(const QString& trashDir, const QString& fileName,
                                 const QByteArray& record)
{
    for (int n = 1; n < 1000; ++n) {
        const QString name = n == 1 ? fileName : fileName + QStringLiteral(".%1").arg(n);
        if (QFileInfo::exists(trashDir + QStringLiteral("/files/") + name))
            continue;
        QFile info(trashDir + QStringLiteral("/info/") + name + QStringLiteral(".trashinfo"));
        if (!info.open(QIODevice::WriteOnly | QIODevice::NewOnly))
            continue;
        if (info.write(record) != record.size() || !info.flush()) {
            info.remove();
            return std::nullopt;
        }
        return name;
    }
    return std::nullopt;
}

} // namespace

FreedesktopTrash::FreedesktopTrash(Clock& clock, QString trashDir)
    : m_clock(clock)
    , m_dir(QDir::cleanPath(trashDir))
{}

FreedesktopTrash FreedesktopTrash::inDataHome(Clock& clock, const QString& dataHome)
{
    return FreedesktopTrash(clock, dataHome + QStringLiteral("/Trash"));
}

std::optional<QString> FreedesktopTrash::trash(const QString& path, QString* trashedName) const
{
    const QFileInfo item(path);
    const QString absolute = QDir::cleanPath(item.absoluteFilePath());
    auto failure = [&](const QString& reason) {
        return QStringLiteral("“%1” couldn’t be moved to the Trash: %2").arg(absolute, reason);
    };
    if (!item.exists() && !item.isSymLink())
        return failure(systemError(ENOENT));

    QDir dir;
    if (!dir.mkpath(m_dir + QStringLiteral("/files")) ||
        !dir.mkpath(m_dir + QStringLiteral("/info")))
        return failure(QStringLiteral("the Trash folder %1 cannot be created").arg(m_dir));
    QFile::setPermissions(m_dir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    const std::optional<QString> name =
        claimName(m_dir, item.fileName(), infoRecord(m_clock, absolute));
    if (!name)
        return failure(QStringLiteral("no free name in %1").arg(m_dir));
    const QString infoPath =
        m_dir + QStringLiteral("/info/") + *name + QStringLiteral(".trashinfo");
    const QString target = m_dir + QStringLiteral("/files/") + *name;

    if (std::rename(QFile::encodeName(absolute).constData(),
                    QFile::encodeName(target).constData()) != 0) {
        const int error = errno;
        // Across file systems a rename cannot work; a single file is copied instead and
        // removed once the copy is complete.
        const bool copied = error == EXDEV && item.isFile() && QFile::copy(absolute, target);
        if (!copied || !QFile::remove(absolute)) {
            if (copied)
                QFile::remove(target);
            QFile::remove(infoPath);
            return failure(systemError(error));
        }
    }
    if (trashedName)
        *trashedName = *name;
    return std::nullopt;
}
