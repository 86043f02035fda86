// SPDX-License-Identifier: MIT
#include "updates/UpdateConfig.h"

#include "core/BuildConfig.h"
#include "core/Log.h"
#include "settings/Preferences.h"
#include "settings/UserDefaults.h"

namespace {

constexpr std::chrono::seconds shortestInterval{60};

QString key(const char* name)
{
    return QString::fromLatin1(name);
}

void store(UserDefaults& domain, const char* name, const QJsonValue& value)
{
    if (!domain.set(key(name), value))
        Log::update().error(
            QStringLiteral("could not save %1 to %2").arg(key(name), domain.path()));
}

std::optional<QUrl> webAddress(const QString& text)
{
    const QUrl url(text, QUrl::StrictMode);
    if (!url.isValid() || url.host().isEmpty() ||
        (url.scheme() != u"http" && url.scheme() != u"https"))
        return std::nullopt;
    return url;
}

std::optional<QUrl> downloadPageOf(QString base)
{
    while (base.endsWith(u'/'))
        base.chop(1);
    return webAddress(base + QStringLiteral("/download"));
}

} // namespace

UpdateConfig::UpdateConfig(UserDefaults defaults)
    : m_defaults(std::move(defaults))
{}

std::optional<QUrl> UpdateConfig::feedURL() const
{
    const QString text = m_defaults.string(key(UpdateDefaultsKey::updateFeedURL))
                             .value_or(QString::fromUtf8(BuildConfig::updateFeedURL))
                             .trimmed();
    if (text.isEmpty())
        return std::nullopt;
    const QUrl url(text, QUrl::StrictMode);
    if (!url.isValid() || url.isRelative())
        return std::nullopt;
    if (url.scheme() == u"file")
        return url;
    return webAddress(text);
}

bool UpdateConfig::checksAutomatically() const
{
    return m_defaults.boolean(key(UpdateDefaultsKey::updateChecksAutomatically))
        .value_or(BuildConfig::updateChecksAutomatically);
}

std::chrono::seconds UpdateConfig::checkInterval() const
{
    const std::optional<qint64> stored =
        m_defaults.integer(key(UpdateDefaultsKey::updateCheckInterval));
    const std::chrono::seconds interval(
        stored && *stored > 0 ? *stored : qint64(BuildConfig::updateCheckIntervalSeconds));
    return std::max(interval, shortestInterval);
}

QUrl UpdateConfig::downloadPageFor(const std::optional<QString>& siteBaseURL,
                                   const QString& builtInBaseURL)
{
    if (siteBaseURL && !siteBaseURL->trimmed().isEmpty()) {
        if (std::optional<QUrl> page = downloadPageOf(siteBaseURL->trimmed()))
            return *page;
    }
    return downloadPageOf(builtInBaseURL.trimmed()).value_or(QUrl());
}

QUrl UpdateConfig::downloadPage() const
{
    return downloadPageFor(m_defaults.string(key(DefaultsKey::siteBaseURL)),
                           QString::fromUtf8(BuildConfig::siteBaseURL));
}

std::optional<QString> UpdateConfig::skippedVersion() const
{
    return m_defaults.string(key(UpdateDefaultsKey::skippedUpdateVersion));
}

void UpdateConfig::setSkippedVersion(const QString& version)
{
    store(m_defaults, UpdateDefaultsKey::skippedUpdateVersion, version);
}

std::optional<QDateTime> UpdateConfig::lastCheck() const
{
    const std::optional<QString> text = m_defaults.string(key(UpdateDefaultsKey::lastUpdateCheck));
    if (!text)
        return std::nullopt;
    const QDateTime when = QDateTime::fromString(*text, Qt::ISODate);
    return when.isValid() ? std::optional(when) : std::nullopt;
}

void UpdateConfig::setLastCheck(const QDateTime& when)
{
    store(m_defaults, UpdateDefaultsKey::lastUpdateCheck, when.toString(Qt::ISODate));
}
