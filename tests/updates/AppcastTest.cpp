// SPDX-License-Identifier: MIT
#include "updates/Appcast.h"
#include "UpdateTestSupport.h"

namespace {

TEST(AppcastTest, ReadsTheItemsThisProductCanUse)
{
    const QByteArray document = appcastOf({
        // The element form of the versions, with a page and notes.
        "<item><title>1.4</title><link>https://example.org/1.4</link>"
        "<sparkle:version>140</sparkle:version>"
        "<sparkle:shortVersionString>1.4</sparkle:shortVersionString>"
        "<description>Fixes &amp; speed</description>"
        "<enclosure url=\" https://example.org/Q-1.4.AppImage \" length=\"2048\" "
        "sparkle:os=\"linux\"/></item>",
        // The older attribute form on the enclosure.
        "<item><enclosure url=\"https://example.org/Q-1.3.AppImage\" sparkle:version=\"130\" "
        "sparkle:shortVersionString=\"1.3\"/></item>",
        // No display version: the build version stands in.
        "<item><sparkle:version>120</sparkle:version><link>https://example.org/1.2</link></item>",
        // Left out: another system's build, no version, nothing to install or open.
        "<item><sparkle:version>150</sparkle:version>"
        "<enclosure url=\"https://example.org/Q.dmg\" sparkle:os=\"macos\"/></item>",
        "<item><enclosure url=\"https://example.org/Q.AppImage\"/></item>",
        "<item><sparkle:version>160</sparkle:version></item>",
        appcastItem("2", "2"),
    });

    const std::optional<Appcast> appcast = Appcast::parse(document);
    ASSERT_TRUE(appcast);
    ASSERT_EQ(appcast->items.size(), 4);

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
    EXPECT_EQ(appcast->items[2].displayVersionString, "120");
    EXPECT_TRUE(appcast->items[2].fileURL.isEmpty());
    EXPECT_EQ(appcast->items[3].itemDescription, "<p>New things</p>"); // HTML notes kept
    const std::optional<Appcast> empty = Appcast::parse(appcastOf({}));
    ASSERT_TRUE(empty); // an empty channel is still a feed
    EXPECT_TRUE(empty->items.isEmpty());
}

TEST(AppcastTest, BrokenDocumentsAreNotFeeds)
{
    const QByteArray complete = appcastOf({appcastItem("2", "2")});
    for (const QByteArray& document :
         {QByteArray(), QByteArray("{\"items\": []}"),
          QByteArray("<html><body>Sign in to continue</body></html>"),
          complete.left(complete.size() - 20), QByteArray("<rss><channel><item></channel></rss>"),
          complete + "<rss/>"})
        EXPECT_FALSE(Appcast::parse(document)) << document.toStdString();
}

} // namespace
