// SPDX-License-Identifier: MIT
#include "UpdateTestSupport.h"

namespace {

const QString upToDate = QStringLiteral("You’re up to date!");

TEST_F(UpdateTest, LogsHowTheUpdaterStartedAndWithoutAFeedGoesToTheSite)
{
    setDefault("updateChecksAutomatically", true);
    start();
    EXPECT_EQ(updateLines(), QStringList{"updater started — feed " + server.baseURL() +
                                         "/appcast.xml, automatic checks on, interval 3600s"});
    EXPECT_TRUE(controller->canCheckForUpdates());
    controller.reset();

    setDefault("updateFeedURL", "");
    setDefault("updateChecksAutomatically", false);
    log.sink.clear();
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
    EXPECT_EQ(urls->opened, QList<QUrl>{downloadPage});
}

TEST_F(UpdateTest, ACheckThatFindsANewerVersionShowsItInFront)
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
    EXPECT_EQ(driver->events, sessionEnded);
    EXPECT_TRUE(controller->canCheckForUpdates());
    EXPECT_TRUE(urls->opened.isEmpty());
}

TEST_F(UpdateTest, ChecksThatEndWithoutAnOffer)
{
    const QString fetchFailed =
        "An error occurred in retrieving update information. Please try again later.";
    const QString parseFailed = "An error occurred while parsing the update feed.";
    const struct {
        const char* name;
        std::optional<QByteArray> feed; // nothing: nobody listens at the feed's address
        QString error;                  // empty: none
        QString message;
    } rows[] = {
        {"no newer item",
         appcastOf({olderItem, appcastItem(AppIdentity::version(), "current")}),
         {},
         upToDate + " | Quillmark " + AppIdentity::version() +
             " is currently the newest version available."},
        {"malformed feed", "<rss><channel><item>", "aborted (SUError 1000): " + parseFailed,
         "Update Error! | " + parseFailed},
        {"feed unreachable", std::nullopt, "aborted (SUError 1002): " + fetchFailed,
         "Update Error! | " + fetchFailed},
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

        QStringList info = {"check for updates requested from the menu"};
        if (row.error.isEmpty())
            info << "appcast loaded — 2 item(s)"
                 << "no update: " + upToDate;
        EXPECT_EQ(updateLines(), info << "update session finished — back to accessory");
        // The transport's own words vary with the system; the line that carries them
        // only has to be there.
        QStringList errors = updateLines("error");
        if (!row.feed && errors.value(0).startsWith("appcast download failed: "))
            errors.removeFirst();
        EXPECT_EQ(errors, row.error.isEmpty() ? QStringList() : QStringList{row.error});
        EXPECT_EQ(driver->events, QStringList{"message " + row.message} + sessionEnded);
        EXPECT_TRUE(urls->opened.isEmpty());
        EXPECT_TRUE(controller->canCheckForUpdates());
    }
}

// The update the service demands is offered when the feed has it; another one meanwhile, or
// a feed without it, sends the user to the site, once.
TEST_F(UpdateTest, AForcedUpdateOffersWhatItFindsElseGoesToTheSiteOnce)
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
    EXPECT_EQ(urls->opened, QList<QUrl>{downloadPage});
    EXPECT_EQ(server.requests().size(), 1);

    controller.reset();
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
    EXPECT_EQ(urls->opened, QList<QUrl>{downloadPage});
    EXPECT_FALSE(controller->session().forcedByServer());

    // The user's own check right after finds nothing too, and stays in the application.
    controller->checkForUpdates();
    ASSERT_TRUE(settle());
    EXPECT_EQ(urls->opened.size(), 1);
}

} // namespace
