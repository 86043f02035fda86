// SPDX-License-Identifier: MIT
#include "UpdateTestSupport.h"

using namespace std::chrono_literals;

namespace {

const QByteArray newerItem = appcastItem("999.1.0", "999.1");
const QByteArray olderItem = appcastItem("0.0.1", "0.0.1");
const QString upToDate = QStringLiteral("You’re up to date!");

class UpdateControllerTest : public UpdateTest {};

TEST_F(UpdateControllerTest, LogsHowTheUpdaterStarted)
{
    setDefault("updateChecksAutomatically", true);
    start();
    EXPECT_EQ(updateLines(),
              QStringList{QStringLiteral("updater started — feed %1, automatic checks on, "
                                         "interval 3600s")
                              .arg(feedURL())});
    EXPECT_TRUE(controller->canCheckForUpdates());
}

TEST_F(UpdateControllerTest, WithoutAFeedNothingCanBeCheckedAndAForcedUpdateGoesToTheSite)
{
    setDefault("updateFeedURL", "");
    start();
    EXPECT_EQ(updateLines(),
              QStringList{"updater started — feed MISSING, automatic checks off, interval 3600s"});
    EXPECT_FALSE(controller->canCheckForUpdates());

    // The user's own check also clears an earlier forced one.
    controller->session().setForcedByServer(true);
    controller->checkForUpdates();
    EXPECT_FALSE(controller->session().forcedByServer());
    EXPECT_TRUE(server.requests().isEmpty());
    EXPECT_TRUE(driver->events.isEmpty());

    log.sink.clear();
    controller->updateNow();
    EXPECT_EQ(updateLines(),
              QStringList{"forced update: updater busy or unavailable — opening the site"});
    EXPECT_EQ(urls->opened, QList<QUrl>{QUrl("https://site.example.org/download")});
}

TEST_F(UpdateControllerTest, ACheckThatFindsANewerVersionShowsItInFront)
{
    serveFeed(appcastOf({olderItem, newerItem}));
    start();
    log.sink.clear();

    controller->checkForUpdates();
    EXPECT_FALSE(controller->canCheckForUpdates());
    ASSERT_TRUE(settle());

    EXPECT_EQ(
        updateLines(),
        (QStringList{"check for updates requested from the menu", "appcast loaded — 2 item(s)",
                     "found 999.1 (build 999.1.0)", "showing update 999.1 (user-initiated)"}));
    EXPECT_EQ(driver->events, (QStringList{"activate", "offer 999.1 (999.1.0)"}));
    EXPECT_EQ(driver->lastOffer.releaseNotes, "<p>New things</p>");
    ASSERT_EQ(server.requests().size(), 1);
    EXPECT_EQ(server.requests()[0].method, "GET");
    EXPECT_EQ(server.requests()[0].path, "/appcast.xml");
    EXPECT_FALSE(controller->canCheckForUpdates());

    log.sink.clear();
    driver->events.clear();
    driver->answer(UpdateChoice::remindLater);
    EXPECT_EQ(updateLines(), QStringList{"update session finished — back to accessory"});
    EXPECT_EQ(driver->events, (QStringList{"dismiss", "clear notice"}));
    EXPECT_TRUE(controller->canCheckForUpdates());
    EXPECT_TRUE(urls->opened.isEmpty());
}

TEST_F(UpdateControllerTest, ChecksThatEndWithoutAnOffer)
{
    const struct {
        const char* name;
        std::optional<QByteArray> feed; // nothing: nobody listens at the feed's address
        QStringList infoLines;
        QStringList errorLines;
        QString message;
    } rows[] = {
        {"no newer item",
         appcastOf({olderItem, appcastItem(AppIdentity::version(), "current")}),
         {"check for updates requested from the menu", "appcast loaded — 2 item(s)",
          "no update: " + upToDate, "update session finished — back to accessory"},
         {},
         "message " + upToDate + " | Quillmark " + AppIdentity::version() +
             " is currently the newest version available."},
        {"malformed feed",
         "<rss><channel><item>",
         {"check for updates requested from the menu",
          "update session finished — back to accessory"},
         {"aborted (SUError 1000): An error occurred while parsing the update feed."},
         "message Update Error! | An error occurred while parsing the update feed."},
        {"feed unreachable",
         std::nullopt,
         {"check for updates requested from the menu",
          "update session finished — back to accessory"},
         {"aborted (SUError 1002): An error occurred in retrieving update information. Please "
          "try again later."},
         "message Update Error! | An error occurred in retrieving update information. Please "
         "try again later."},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        if (row.feed) {
            serveFeed(*row.feed);
        } else {
            QTcpServer probe;
            ASSERT_TRUE(probe.listen(QHostAddress::LocalHost));
            setDefault("updateFeedURL",
                       QStringLiteral("http://127.0.0.1:%1/appcast.xml").arg(probe.serverPort()));
        }
        start();
        log.sink.clear();

        controller->checkForUpdates();
        ASSERT_TRUE(settle());

        EXPECT_EQ(updateLines(), row.infoLines);
        QStringList errors = updateLines("error");
        // The transport's own words vary with the system; the line that carries them
        // only has to be there.
        if (!row.feed && !errors.isEmpty() &&
            errors.first().startsWith("appcast download failed: "))
            errors.removeFirst();
        EXPECT_EQ(errors, row.errorLines);
        EXPECT_EQ(driver->events, (QStringList{row.message, "dismiss", "clear notice"}));
        EXPECT_TRUE(urls->opened.isEmpty());
        EXPECT_TRUE(controller->canCheckForUpdates());
    }
}

TEST_F(UpdateControllerTest, AForcedUpdateOffersWhatItFindsAndAnotherOneMeanwhileGoesToTheSite)
{
    serveFeed(appcastOf({newerItem}));
    start();
    log.sink.clear();
    controller->updateNow();
    ASSERT_TRUE(settle());
    EXPECT_EQ(
        updateLines(),
        (QStringList{"forced update: driving Sparkle", "appcast loaded — 1 item(s)",
                     "found 999.1 (build 999.1.0)", "showing update 999.1 (user-initiated)"}));
    EXPECT_TRUE(urls->opened.isEmpty());
    log.sink.clear();

    controller->updateNow();

    EXPECT_EQ(updateLines(),
              QStringList{"forced update: updater busy or unavailable — opening the site"});
    EXPECT_EQ(urls->opened, QList<QUrl>{QUrl("https://site.example.org/download")});
    EXPECT_EQ(server.requests().size(), 1);
}

TEST_F(UpdateControllerTest, AForcedUpdateThatFindsNothingGoesToTheSiteOnce)
{
    serveFeed(appcastOf({olderItem}));
    start();
    log.sink.clear();

    controller->updateNow();
    EXPECT_TRUE(controller->session().forcedByServer());
    ASSERT_TRUE(settle());

    EXPECT_EQ(log.lines(),
              (QStringList{"info update: forced update: driving Sparkle",
                           "info update: appcast loaded — 1 item(s)",
                           "info update: no update: " + upToDate,
                           "error update: forced update found nothing in the feed — sending "
                           "them to the site",
                           "info update: update session finished — back to accessory"}));
    EXPECT_EQ(urls->opened, QList<QUrl>{QUrl("https://site.example.org/download")});
    EXPECT_FALSE(controller->session().forcedByServer());

    // The user's own check right after finds nothing too, and stays in the application.
    controller->checkForUpdates();
    ASSERT_TRUE(settle());
    EXPECT_EQ(urls->opened.size(), 1);
}

} // namespace
