// SPDX-License-Identifier: MIT
#include "updates/UpdateConfig.h"

#include "core/BuildConfig.h"
#include "core/Log.h"
#include "settings/Preferences.h"
#include "settings/UserDefaults.h"

namespace UpdateConfig {

namespace {

constexpr std::chrono::seconds shortestInterval{60};

QString key(const char* name)
{
    return QString::fromLatin1(name);
}

void store(const char* name, const QJsonValue& value)
{
    UserDefaults domain = UserDefaults::standard();
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

std::optional<QUrl> feedURL()
{
    const QString text = UserDefaults::standard()
                             .string(key(UpdateDefaultsKey::updateFeedURL))
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

bool checksAutomatically()
{
    return UserDefaults::standard()
        .boolean(key(UpdateDefaultsKey::updateChecksAutomatically))
        .value_or(BuildConfig::updateChecksAutomatically);
}

std::chrono::seconds checkInterval()
{
    const std::optional<qint64> stored =
        UserDefaults::standard().integer(key(UpdateDefaultsKey::updateCheckInterval));
    const std::chrono::seconds interval(
        stored && *stored > 0 ? *stored : qint64(BuildConfig::updateCheckIntervalSeconds));
    return std::max(interval, shortestInterval);
}

QUrl downloadPageFor(const std::optional<QString>& siteBaseURL, const QString& builtInBaseURL)
{
    if (siteBaseURL && !siteBaseURL->trimmed().isEmpty()) {
        if (std::optional<QUrl> page = downloadPageOf(siteBaseURL->trimmed()))
            return *page;
    }
    return downloadPageOf(builtInBaseURL.trimmed()).value_or(QUrl());
}

QUrl downloadPage()
{
    return downloadPageFor(UserDefaults::standard().string(key(DefaultsKey::siteBaseURL)),
                           QString::fromUtf8(BuildConfig::siteBaseURL));
}

std::optional<QString> skippedVersion()
{
    return UserDefaults::standard().string(key(UpdateDefaultsKey::skippedUpdateVersion));
}

void setSkippedVersion(const QString& version)
{
    store(UpdateDefaultsKey::skippedUpdateVersion, version);
}

std::optional<QDateTime> lastCheck()
{
    const std::optional<QString> text =
        UserDefaults::standard().string(key(UpdateDefaultsKey::lastUpdateCheck));
    if (!text)
        return std::nullopt;
    const QDateTime when = QDateTime::fromString(*text, Qt::ISODate);
    return when.isValid() ? std::optional(when) : std::nullopt;
}

void setLastCheck(const QDateTime& when)
{
    store(UpdateDefaultsKey::lastUpdateCheck, when.toString(Qt::ISODate));
}

} // namespace UpdateConfig
