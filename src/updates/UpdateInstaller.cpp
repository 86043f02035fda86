// SPDX-License-Identifier: MIT
#include "updates/UpdateInstaller.h"

#include "ai/HttpExchange.h"
#include "core/AppIdentity.h"
#include "core/Log.h"

#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

using namespace std::chrono_literals;

// A release file takes minutes on a slow line; only a transfer that stalls is given up.
constexpr std::chrono::milliseconds stalledDownload = 60s;

UpdateError downloadError()
{
    return {UpdateErrorCode::download,
            QStringLiteral("An error occurred while downloading the update. Please try again "
                           "later.")};
}

UpdateError installationError()
{
    return {UpdateErrorCode::installation,
            QStringLiteral("An error occurred while installing the update. Please try again "
                           "later.")};
}

// An AppImage is an ELF executable. Anything else (an HTML error page from a captive
// portal, a truncated body) must not take the place of the running copy.
bool looksLikeAppImage(const QString& path, qint64 announcedLength)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    if (announcedLength > 0 && file.size() != announcedLength)
        return false;
    return file.read(4) == QByteArrayLiteral("\x7f"
                                             "ELF");
}

} // namespace

UpdateInstaller::UpdateInstaller(QString appImagePath, UrlOpener& urls, ProcessLauncher& launcher)
    : m_appImagePath(std::move(appImagePath))
    , m_urls(urls)
    , m_launcher(launcher)
{}

QCoro::Task<UpdateInstaller::Outcome> UpdateInstaller::install(AppcastItem item, QUrl downloadPage)
{
    if (replacesAppImage() && item.fileURL.isValid())
        co_return co_await replaceAppImage(std::move(item));
    // Without a file of our own to replace, the item's page says the most about this
    // release; the site's download page is the fallback.
    const QUrl page = downloadPage.isEmpty() ? item.infoURL : downloadPage;
    if (page.isEmpty() || !m_urls.open(page))
        co_return installationError();
    co_return Installed{false};
}

QCoro::Task<UpdateInstaller::Outcome> UpdateInstaller::replaceAppImage(AppcastItem item)
{
    // The new file is written beside the old one so that the final rename stays on one
    // file system and replaces the old file in one step; the running copy keeps its open
    // image until it quits.
    const QFileInfo target(m_appImagePath);
    const QString partial = target.absolutePath() + QStringLiteral("/.") + target.fileName() +
                            QStringLiteral(".update");
    QPointer<UpdateInstaller> self(this);
    const std::optional<HttpExchange::Failure> failure =
        co_await HttpExchange::download(item.fileURL, partial, stalledDownload);
    // The product was shut down during the download: leave everything as it was.
    if (!self) {
        QFile::remove(partial);
        co_return installationError();
    }
    if (failure) {
        Log::update().error(QStringLiteral("download of %1 failed: %2")
                                .arg(item.fileURL.toString(), failure->description));
        QFile::remove(partial);
        co_return downloadError();
    }
    if (!looksLikeAppImage(partial, item.contentLength)) {
        QFile::remove(partial);
        co_return UpdateError{UpdateErrorCode::validation,
                              QStringLiteral("The downloaded update is not an AppImage of %1, "
                                             "so it was not installed.")
                                  .arg(QString::fromUtf8(AppIdentity::name))};
    }
    QFile::setPermissions(partial, QFile::permissions(m_appImagePath) | QFile::ExeOwner |
                                       QFile::ReadOwner | QFile::WriteOwner);
    if (std::rename(QFile::encodeName(partial).constData(),
                    QFile::encodeName(m_appImagePath).constData()) != 0) {
        Log::update().error(QStringLiteral("could not replace %1: %2")
                                .arg(m_appImagePath, QString::fromLocal8Bit(std::strerror(errno))));
        QFile::remove(partial);
        co_return installationError();
    }
    if (const std::optional<QString> error = m_launcher.startAfterThisProcess(m_appImagePath, {})) {
        const QString name = QString::fromUtf8(AppIdentity::name);
        Log::update().error(QStringLiteral("relaunch after update failed: %1").arg(*error));
        co_return UpdateError{UpdateErrorCode::relaunch,
                              QStringLiteral("An error occurred while relaunching %1, but the new "
                                             "version will be available next time you run %1.")
                                  .arg(name)};
    }
    co_return Installed{true};
}
