// SPDX-License-Identifier: MIT
#include "updates/UpdateSessionDelegate.h"

#include "core/Log.h"
#include "updates/UpdateConfig.h"

UpdateSessionDelegate::UpdateSessionDelegate(UpdateUserDriver& driver, UrlOpener& urls,
                                             const UpdateConfig& config)
    : m_driver(driver)
    , m_urls(urls)
    , m_config(config)
{}

void UpdateSessionDelegate::willHandleShowingUpdate(const AppcastItem& item, UpdateCheckKind kind)
{
    const bool userInitiated = kind == UpdateCheckKind::userInitiated;
    if (userInitiated || !supportsGentleScheduledUpdateReminders()) {
        m_driver.activate();
    } else {
        m_driver.postNotice({item.displayVersionString, item.versionString, item.itemDescription});
    }
    Log::update().info(QStringLiteral("showing update %1 (%2)")
                           .arg(item.displayVersionString, userInitiated
                                                               ? QStringLiteral("user-initiated")
                                                               : QStringLiteral("scheduled")));
}

void UpdateSessionDelegate::didReceiveUserAttention(const AppcastItem&)
{
    m_driver.clearNotice();
}

void UpdateSessionDelegate::willFinishUpdateSession()
{
    m_driver.clearNotice();
    Log::update().info(QStringLiteral("update session finished — back to accessory"));
}

void UpdateSessionDelegate::didFinishLoading(const Appcast& appcast)
{
    Log::update().info(
        QStringLiteral("appcast loaded — %1 item(s)").arg(QString::number(appcast.items.size())));
}

void UpdateSessionDelegate::didFindValidUpdate(const AppcastItem& item)
{
    Log::update().info(
        QStringLiteral("found %1 (build %2)").arg(item.displayVersionString, item.versionString));
}

void UpdateSessionDelegate::didNotFindUpdate(const UpdateError& error)
{
    Log::update().info(QStringLiteral("no update: %1").arg(error.description));
    if (!m_forcedByServer)
        return;
    m_forcedByServer = false;
    Log::update().error(
        QStringLiteral("forced update found nothing in the feed — sending them to the site"));
    openDownloadPage();
}

void UpdateSessionDelegate::willInstallUpdate(const AppcastItem& item)
{
    Log::update().info(QStringLiteral("installing %1").arg(item.displayVersionString));
}

void UpdateSessionDelegate::didAbortWithError(const UpdateError& error)
{
    Log::update().error(QStringLiteral("aborted (SUError %1): %2")
                            .arg(QString::number(int(error.code)), error.description));
}

void UpdateSessionDelegate::openDownloadPage()
{
    const QUrl page = m_config.downloadPage();
    if (page.isEmpty())
        return;
    m_urls.open(page);
}
