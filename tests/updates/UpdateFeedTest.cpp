// SPDX-License-Identifier: MIT
// What the updater reads: the feed and the versions in it.
#include "updates/Appcast.h"
#include "updates/VersionComparator.h"

#include <gtest/gtest.h>

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
    EXPECT_EQ(appcast->items[0],
              (AppcastItem{"1.4", "140", "1.4", QUrl("https://example.org/Q-1.4.AppImage"), 2048,
                           QUrl("https://example.org/1.4"), "Fixes & speed"}));
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
        {"1.9", "1.10"},
        {"1.2", "1.2.1"},
        {"1.2b1", "1.2"},
        {"1.2a", "1.2b"},
        {"1.2 beta", "1.2"},
        {"99999999999999999999", "100000000000000000000"},
        {"unknown", "0.0.1"},
        {"1..2", "1.2"},
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

} // namespace
