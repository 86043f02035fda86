// SPDX-License-Identifier: MIT
#include "updates/UpdateConfig.h"
#include "core/BuildConfig.h"
#include "settings/UserDefaults.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

using namespace std::chrono_literals;

namespace {

class UpdateConfigTest : public ::testing::Test {
protected:
    static void setDefault(const char* key, const QJsonValue& value)
    {
        ASSERT_TRUE(UserDefaults::standard().set(QString::fromLatin1(key), value));
    }

    ScopedConfigHome home;
};

TEST_F(UpdateConfigTest, FeedAddresses)
{
    const struct {
        QJsonValue stored;
        const char* expected; // nullptr: updates are off
    } rows[] = {
        {"https://updates.example.org/appcast.xml", "https://updates.example.org/appcast.xml"},
        {"  http://127.0.0.1:8080/a.xml ", "http://127.0.0.1:8080/a.xml"},
        {"file:///srv/appcast.xml", "file:///srv/appcast.xml"},
        {"", nullptr},
        {"appcast.xml", nullptr},
        {"ftp://example.org/appcast.xml", nullptr},
        {"https://", nullptr},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.stored.toString().toStdString());
        setDefault("updateFeedURL", row.stored);
        const std::optional<QUrl> url = UpdateConfig::feedURL();
        if (row.expected) {
            ASSERT_TRUE(url);
            EXPECT_EQ(url->toString(), row.expected);
        } else {
            EXPECT_FALSE(url);
        }
    }
}

TEST_F(UpdateConfigTest, IntervalsThatMakeNoSense)
{
    const struct {
        QJsonValue stored;
        std::chrono::seconds expected;
    } rows[] = {
        {5, 60s},
        {0, std::max(std::chrono::seconds(BuildConfig::updateCheckIntervalSeconds), 60s)},
        {-3600, std::max(std::chrono::seconds(BuildConfig::updateCheckIntervalSeconds), 60s)},
        {"3600", std::max(std::chrono::seconds(BuildConfig::updateCheckIntervalSeconds), 60s)},
        {86400, 86400s},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.stored.toVariant().toString().toStdString());
        setDefault("updateCheckInterval", row.stored);
        EXPECT_EQ(UpdateConfig::checkInterval(), row.expected);
    }
}

TEST_F(UpdateConfigTest, DownloadPages)
{
    const QString builtIn = "https://quillmark.example";
    const struct {
        std::optional<QString> site;
        QString builtIn;
        const char* expected;
    } rows[] = {
        {"https://staging.example.org", builtIn, "https://staging.example.org/download"},
        {"https://staging.example.org/", builtIn, "https://staging.example.org/download"},
        {"http://127.0.0.1:9000/shop", builtIn, "http://127.0.0.1:9000/shop/download"},
        {std::nullopt, builtIn, "https://quillmark.example/download"},
        {"   ", builtIn, "https://quillmark.example/download"},
        {"not a url", builtIn, "https://quillmark.example/download"},
        {"mailto:someone@example.org", builtIn, "https://quillmark.example/download"},
        {std::nullopt, "", ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.site.value_or("(unset)").toStdString());
        EXPECT_EQ(UpdateConfig::downloadPageFor(row.site, row.builtIn).toString(), row.expected);
    }

    setDefault("siteBaseURL", "https://mirror.example.net");
    EXPECT_EQ(UpdateConfig::downloadPage(), QUrl("https://mirror.example.net/download"));
}

TEST_F(UpdateConfigTest, AnUnreadableLastCheckIsNoLastCheck)
{
    EXPECT_FALSE(UpdateConfig::skippedVersion());
    EXPECT_FALSE(UpdateConfig::lastCheck());
    setDefault("lastUpdateCheck", "yesterday");
    EXPECT_FALSE(UpdateConfig::lastCheck());
}

} // namespace
