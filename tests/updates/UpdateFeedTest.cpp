// SPDX-License-Identifier: MIT
// What the updater reads: the feed, the versions in it and its own settings.
#include "core/BuildConfig.h"
#include "settings/UserDefaults.h"
#include "support/TestEnvironment.h"
#include "updates/Appcast.h"
#include "updates/UpdateConfig.h"
#include "updates/VersionComparator.h"

#include <gtest/gtest.h>

using namespace std::chrono_literals;

namespace {

QByteArray feedOf(const QByteArray& items)
{
    return "<?xml version=\"1.0\"?><rss version=\"2.0\" xmlns:sparkle=\"http://www.andymatuschak"
           ".org/xml-namespaces/sparkle\"><channel><title>Quillmark</title>" +
           items + "</channel></rss>";
}

// Items another system builds, without a version or without anything to install or open are
// left out; a broken document is no feed at all.
TEST(Appcast, ReadsTheItemsThisProductCanUse)
{
    const QByteArray document = feedOf(
        // The element form of the versions, with a page and notes.
        "<item><title>1.4</title><link>https://example.org/1.4</link>"
        "<sparkle:version>140</sparkle:version>"
        "<sparkle:shortVersionString>1.4</sparkle:shortVersionString>"
        "<description>Fixes &amp; speed</description>"
        "<enclosure url=\" https://example.org/Q-1.4.AppImage \" length=\"2048\" "
        "sparkle:os=\"linux\"/></item>"
        // The older attribute form on the enclosure, with HTML notes.
        "<item><description><![CDATA[<p>New</p>]]></description>"
        "<enclosure url=\"https://example.org/Q-1.3.AppImage\" sparkle:version=\"130\" "
        "sparkle:shortVersionString=\"1.3\"/></item>"
        // No display version: the build version stands in.
        "<item><sparkle:version>120</sparkle:version><link>https://example.org/1.2</link></item>"
        "<item><sparkle:version>150</sparkle:version>"
        "<enclosure url=\"https://example.org/Q.dmg\" sparkle:os=\"macos\"/></item>"
        "<item><enclosure url=\"https://example.org/Q.AppImage\"/></item>"
        "<item><sparkle:version>160</sparkle:version></item>");
    const std::optional<Appcast> appcast = Appcast::parse(document);
    ASSERT_TRUE(appcast);
    ASSERT_EQ(appcast->items.size(), 3);
    AppcastItem first;
    first.title = "1.4";
    first.versionString = "140";
    first.displayVersionString = "1.4";
    first.fileURL = QUrl("https://example.org/Q-1.4.AppImage");
    first.contentLength = 2048;
    first.infoURL = QUrl("https://example.org/1.4");
    first.itemDescription = "Fixes & speed";
    EXPECT_EQ(appcast->items[0], first);
    EXPECT_EQ(appcast->items[1].versionString, "130");
    EXPECT_EQ(appcast->items[1].displayVersionString, "1.3");
    EXPECT_EQ(appcast->items[1].fileURL, QUrl("https://example.org/Q-1.3.AppImage"));
    EXPECT_EQ(appcast->items[1].itemDescription, "<p>New</p>");
    EXPECT_EQ(appcast->items[2].displayVersionString, "120");
    EXPECT_TRUE(appcast->items[2].fileURL.isEmpty());
    ASSERT_TRUE(Appcast::parse(feedOf({}))) << "an empty channel is still a feed";

    const QByteArray complete = feedOf("<item><sparkle:version>2</sparkle:version></item>");
    for (const QByteArray& broken :
         {QByteArray(), QByteArray("{\"items\": []}"),
          QByteArray("<html><body>Sign in</body></html>"), complete.left(complete.size() - 20),
          QByteArray("<rss><channel><item></channel></rss>"), complete + "<rss/>"})
        EXPECT_FALSE(Appcast::parse(broken)) << broken.toStdString();
}

TEST(VersionComparator, OrdersVersionsBothWays)
{
    const std::pair<const char*, const char*> olderNewer[] = {
        // clang-format off
        {"1.0", "1.1"},
        {"1.9", "1.10"},
        {"1.2", "1.2.1"},
        {"1.2b1", "1.2"},
        {"1.2a", "1.2b"},
        {"1.2 beta", "1.2"},
        {"9", "10"},
        {"99999999999999999999", "100000000000000000000"},
        {"unknown", "0.0.1"},
        {"1..2", "1.2"},
        {"140", "1400"},
        // clang-format on
    };
    for (const auto& [older, newer] : olderNewer) {
        EXPECT_LT(VersionComparator::compare(older, newer), 0) << older << " < " << newer;
        EXPECT_GT(VersionComparator::compare(newer, older), 0) << older << " < " << newer;
    }
    for (const char* version : {"1.2.3", "007", "1.2b1", ""})
        EXPECT_EQ(VersionComparator::compare(version, version), 0) << version;
    EXPECT_EQ(VersionComparator::compare("1.02", "1.2"), 0);
    EXPECT_EQ(VersionComparator::compare("1.2 ", "1.2"), 0);
}

void setDefault(const char* key, const QJsonValue& value)
{
    ASSERT_TRUE(UserDefaults::standard().set(QString::fromLatin1(key), value));
}

// Stored values that make no sense fall back: no feed, the build's interval (a minute at
// least), the built-in site, no last check.
TEST(UpdateConfig, StoredValuesAreCheckedBeforeUse)
{
    ScopedConfigHome home;
    UpdateConfig config{UserDefaults::standard()};
    const std::pair<QJsonValue, const char*> feeds[] = {
        // clang-format off
        {"  http://127.0.0.1:8080/a.xml ", "http://127.0.0.1:8080/a.xml"},
        {"file:///srv/appcast.xml", "file:///srv/appcast.xml"},
        {"", ""},
        {"appcast.xml", ""},
        {"ftp://example.org/appcast.xml", ""},
        {"https://", ""},
        // clang-format on
    };
    for (const auto& [stored, expected] : feeds) {
        setDefault("updateFeedURL", stored);
        EXPECT_EQ(config.feedURL().value_or(QUrl()).toString(), expected) << expected;
    }
    const auto builtIn =
        std::max(std::chrono::seconds(BuildConfig::updateCheckIntervalSeconds), 60s);
    const std::pair<QJsonValue, std::chrono::seconds> intervals[] = {
        {5, 60s}, {-3600, builtIn}, {"3600", builtIn}, {86400, 86400s}};
    for (const auto& [stored, expected] : intervals) {
        setDefault("updateCheckInterval", stored);
        EXPECT_EQ(config.checkInterval(), expected) << expected.count();
    }
    EXPECT_FALSE(config.skippedVersion());
    setDefault("lastUpdateCheck", "yesterday");
    EXPECT_FALSE(config.lastCheck());

    const QString site = "https://quillmark.example";
    const struct {
        std::optional<QString> site;
        QString builtIn;
        const char* expected;
    } pages[] = {
        // clang-format off
        {"https://staging.example.org/", site, "https://staging.example.org/download"},
        {"http://127.0.0.1:9000/shop", site, "http://127.0.0.1:9000/shop/download"},
        {"   ", site, "https://quillmark.example/download"},
        {"mailto:someone@example.org", site, "https://quillmark.example/download"},
        {std::nullopt, "", ""},
        // clang-format on
    };
    for (const auto& row : pages)
        EXPECT_EQ(UpdateConfig::downloadPageFor(row.site, row.builtIn).toString(), row.expected);
    setDefault("siteBaseURL", "https://mirror.example.net");
    EXPECT_EQ(config.downloadPage(), QUrl("https://mirror.example.net/download"));
}

} // namespace
