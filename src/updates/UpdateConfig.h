// SPDX-License-Identifier: MIT
#pragma once

#include "settings/UserDefaults.h"

#include <QDateTime>
#include <QString>
#include <QUrl>
#include <chrono>
#include <optional>

// User-defaults keys of the updater. The first three override the build's configuration
// (for tests and for pointing a copy at a staging feed); the last two are the updater's
// own memory.
namespace UpdateDefaultsKey {
inline constexpr const char* updateFeedURL = "updateFeedURL";
inline constexpr const char* updateChecksAutomatically = "updateChecksAutomatically";
inline constexpr const char* updateCheckInterval = "updateCheckInterval";
inline constexpr const char* skippedUpdateVersion = "skippedUpdateVersion";
inline constexpr const char* lastUpdateCheck = "lastUpdateCheck";
} // namespace UpdateDefaultsKey

// Where updates come from and how often they are looked for: the build's configuration,
// overridden by the user-defaults keys above. Read afresh at each use. Main thread.
class UpdateConfig {
public:
    explicit UpdateConfig(UserDefaults defaults);

    // The feed's address; nothing when the build has none (updates are off) or the address
    // is not an absolute http, https or file URL. An empty "updateFeedURL" turns updates off.
    std::optional<QUrl> feedURL() const;
    bool checksAutomatically() const;
    // Never under a minute, so a mistyped value cannot make the updater poll the server.
    std::chrono::seconds checkInterval() const;

    // "siteBaseURL" when set and usable, otherwise the built-in site address, followed by
    // "/download". Empty when neither gives an http or https address.
    QUrl downloadPage() const;
    // The same rule for any base address; the built-in one stands in for a base that does
    // not parse.
    static QUrl downloadPageFor(const std::optional<QString>& siteBaseURL,
                                const QString& builtInBaseURL);

    // The version the user chose to skip; scheduled checks do not offer it again.
    std::optional<QString> skippedVersion() const;
    void setSkippedVersion(const QString& version);

    // When the last check ended, for spacing the scheduled checks across launches.
    std::optional<QDateTime> lastCheck() const;
    void setLastCheck(const QDateTime& when);

private:
    UserDefaults m_defaults;
};
