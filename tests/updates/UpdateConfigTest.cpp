// SPDX-License-Identifier: MIT
#include "updates/UpdateConfig.h"
#include "core/BuildConfig.h"
#include "settings/UserDefaults.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

using namespace std::chrono_literals;

namespace {

void setDefault(const char* key, const QJsonValue& value)
{
    ASSERT_TRUE(UserDefaults::standard().set(QString::fromLatin1(key), value));
}

// Stored values that make no sense fall back: no feed, the build's interval (a minute at
// least), the built-in site, no last check.
TEST(UpdateConfigTest, StoredValuesAreCheckedBeforeUse)
{
    ScopedConfigHome home;
    const std::pair<QJsonValue, const char*> feeds[] = {
        {"https://updates.example.org/appcast.xml", "https://updates.example.org/appcast.xml"},
        {"  http://127.0.0.1:8080/a.xml ", "http://127.0.0.1:8080/a.xml"},
        {"file:///srv/appcast.xml", "file:///srv/appcast.xml"},
        {"", ""},
        {"appcast.xml", ""},
        {"ftp://example.org/appcast.xml", ""},
        {"https://", ""},
    };
    for (const auto& [stored, expected] : feeds) {
        SCOPED_TRACE(stored.toString().toStdString());
        setDefault("updateFeedURL", stored);
        EXPECT_EQ(UpdateConfig::feedURL().value_or(QUrl()).toString(), expected);
    }

    const auto builtIn =
        std::max(std::chrono::seconds(BuildConfig::updateCheckIntervalSeconds), 60s);
    const std::pair<QJsonValue, std::chrono::seconds> intervals[] = {
        {5, 60s}, {0, builtIn}, {-3600, builtIn}, {"3600", builtIn}, {86400, 86400s}};
    for (const auto& [stored, expected] : intervals) {
        SCOPED_TRACE(stored.toVariant().toString().toStdString());
        setDefault("updateCheckInterval", stored);
        EXPECT_EQ(UpdateConfig::checkInterval(), expected);
    }

    EXPECT_FALSE(UpdateConfig::skippedVersion());
    EXPECT_FALSE(UpdateConfig::lastCheck());
    setDefault("lastUpdateCheck", "yesterday");
    EXPECT_FALSE(UpdateConfig::lastCheck());
}

TEST(UpdateConfigTest, DownloadPages)
{
    const QString site = "https://quillmark.example";
    const struct {
        std::optional<QString> site;
        QString builtIn;
        const char* expected;
    } rows[] = {
        {"https://staging.example.org", site, "https://staging.example.org/download"},
        {"https://staging.example.org/", site, "https://staging.example.org/download"},
        {"http://127.0.0.1:9000/shop", site, "http://127.0.0.1:9000/shop/download"},
        {std::nullopt, site, "https://quillmark.example/download"},
        {"   ", site, "https://quillmark.example/download"},
        {"not a url", site, "https://quillmark.example/download"},
        {"mailto:someone@example.org", site, "https://quillmark.example/download"},
        {std::nullopt, "", ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.site.value_or("(unset)").toStdString());
        EXPECT_EQ(UpdateConfig::downloadPageFor(row.site, row.builtIn).toString(), row.expected);
    }
    ScopedConfigHome home;
    setDefault("siteBaseURL", "https://mirror.example.net");
    EXPECT_EQ(UpdateConfig::downloadPage(), QUrl("https://mirror.example.net/download"));
}

} // namespace
