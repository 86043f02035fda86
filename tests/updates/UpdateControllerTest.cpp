// SPDX-License-Identifier: MIT
// The updater against a feed and release files served on the loopback interface, with
// recording fakes for everything the user sees.
#include "updates/UpdateController.h"
#include "core/AppIdentity.h"
#include "settings/UserDefaults.h"
#include "support/LoopbackServer.h"
#include "support/TestEnvironment.h"
#include "support/fakes/FakeProcessLauncher.h"
#include "support/fakes/FakeUpdateUserDriver.h"
#include "support/fakes/FakeUrlOpener.h"
#include "updates/UpdateConfig.h"

#include <QFile>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace std::chrono_literals;

namespace {

// A feed of items; the build version is what the updater compares, the display version what
// the log and the dialog show.
QByteArray feedOf(const QStringList& versions, const QString& file = "https://example.org/Q")
{
    QByteArray items;
    for (const QString& build : versions) {
        items += QStringLiteral("<item><sparkle:version>%1</sparkle:version><sparkle:"
                                "shortVersionString>%2</sparkle:shortVersionString><description>"
                                "<![CDATA[<p>New things</p>]]></description><enclosure url=\"%3\" "
                                "length=\"0\"/></item>")
                     .arg(build, build.section('.', 0, 1), file)
                     .toUtf8();
    }
    return "<rss version=\"2.0\" xmlns:sparkle=\"http://www.andymatuschak.org/xml-namespaces/"
           "sparkle\"><channel><title>Quillmark</title>" +
           items + "</channel></rss>";
}

const QString upToDate = QStringLiteral("You’re up to date!");
const QString finished = QStringLiteral("update session finished — back to accessory");
const QString offer = QStringLiteral("offer 999.1 (999.1.0)");
const QUrl downloadPage = QUrl("https://site.example.org/download");
const QStringList sessionEnded = {"dismiss", "clear notice"};

class UpdateTest : public ::testing::Test {
protected:
    UpdateTest()
    {
        setDefault("updateFeedURL", server.baseURL() + "/appcast.xml");
        setDefault("updateChecksAutomatically", false);
        setDefault("updateCheckInterval", 3600);
        setDefault("siteBaseURL", "https://site.example.org");
        serveFeed({"0.0.1", "999.1.0"});
    }

    static void setDefault(const char* key, const QJsonValue& value)
    {
        ASSERT_TRUE(UserDefaults::standard().set(QString::fromLatin1(key), value));
    }
    void serveFeed(const QStringList& versions)
    {
        server.setReply(LoopbackServer::Reply::json(200, feedOf(versions)));
    }

    // Creates the controller (which starts the updater) with fresh fakes; `appImage` is
    // the file it would replace.
    void start(const QString& appImage = {})
    {
        controller.reset();
        UpdateServices services;
        services.userDriver = std::make_unique<FakeUpdateUserDriver>();
        services.urlOpener = std::make_unique<FakeUrlOpener>();
        services.launcher = std::make_unique<FakeProcessLauncher>();
        driver = static_cast<FakeUpdateUserDriver*>(services.userDriver.get());
        urls = static_cast<FakeUrlOpener*>(services.urlOpener.get());
        launcher = static_cast<FakeProcessLauncher*>(services.launcher.get());
        services.quit = [this] { ++quits; };
        services.appImagePath = appImage;
        log.sink.clear();
        controller = std::make_unique<UpdateController>(std::move(services), fakeClock, config);
        startLines = updateLines();
        log.sink.clear();
    }

    // Lets the event loop run until the open session has reached the user or ended.
    [[nodiscard]] bool settle()
    {
        return QTest::qWaitFor(
            [this] { return !controller->updater().sessionInProgress() || driver->pendingReply; });
    }
    // The user's own check from the menu, settled.
    [[nodiscard]] bool check()
    {
        controller->checkForUpdates();
        return settle();
    }
    // Time passes on the schedule, and what it started settles.
    [[nodiscard]] bool after(std::chrono::milliseconds time)
    {
        fakeClock.advance(time);
        return settle();
    }
    void forget()
    {
        log.sink.clear();
        driver->events.clear();
    }

    // The log lines of the update category, without their level and category.
    QStringList updateLines(const char* level = "info") const
    {
        const QString prefix = QString::fromLatin1(level) + QStringLiteral(" update: ");
        return log.lines().filter(QRegularExpression("^" + prefix)).replaceInStrings(prefix, "");
    }

    ScopedConfigHome home;
    UpdateConfig config{UserDefaults::standard()};
    FakeClock fakeClock;
    ScopedLogCapture log;
    LoopbackServer server;
    FakeUpdateUserDriver* driver = nullptr;
    FakeUrlOpener* urls = nullptr;
    FakeProcessLauncher* launcher = nullptr;
    int quits = 0;
    QStringList startLines;
    // Last, so it goes first: its timers and sessions refer to everything above.
    std::unique_ptr<UpdateController> controller;
};

// Without a feed nothing can be checked, and the update the service demands goes to the site;
// the user's own check also clears an earlier forced one.
TEST_F(UpdateTest, WithoutAFeedTheForcedUpdateGoesToTheSite)
{
    setDefault("updateFeedURL", "");
    start();
    EXPECT_EQ(startLines,
              QStringList{"updater started — feed MISSING, automatic checks off, interval 3600s"});
    EXPECT_FALSE(controller->canCheckForUpdates());
    controller->session().setForcedByServer(true);
    controller->checkForUpdates();
    EXPECT_FALSE(controller->session().forcedByServer());
    controller->updateNow();
    EXPECT_EQ(urls->opened, QList<QUrl>{downloadPage});
    EXPECT_TRUE(server.requests().isEmpty());
    EXPECT_TRUE(driver->events.isEmpty());
}

TEST_F(UpdateTest, ACheckThatFindsANewerVersionShowsItInFront)
{
    start();
    controller->checkForUpdates();
    EXPECT_FALSE(controller->canCheckForUpdates());
    ASSERT_TRUE(settle());
    EXPECT_EQ(updateLines().last(), "showing update 999.1 (user-initiated)");
    EXPECT_EQ(driver->events, (QStringList{"activate", offer}));
    EXPECT_EQ(server.requests().size(), 1);

    forget();
    driver->answer(UpdateChoice::remindLater);
    EXPECT_EQ(updateLines(), QStringList{finished});
    EXPECT_EQ(driver->events, sessionEnded);
    EXPECT_TRUE(controller->canCheckForUpdates());
    EXPECT_TRUE(urls->opened.isEmpty());
}

TEST_F(UpdateTest, ChecksThatEndWithoutAnOffer)
{
    const QString fetchFailed =
        "An error occurred in retrieving update information. Please try again later.";
    const QString parseFailed = "An error occurred while parsing the update feed.";
    const QString newest =
        " | Quillmark " + AppIdentity::version() + " is currently the newest version available.";
    const struct {
        std::optional<QByteArray> feed; // nothing: nobody listens at the feed's address
        QString error;                  // empty: none
        QString message;
    } rows[] = {
        // clang-format off
        {feedOf({"0.0.1", AppIdentity::version()}), {}, upToDate + newest},
        {"<rss><channel><item>", "aborted (SUError 1000): " + parseFailed, "Update Error! | " + parseFailed},
        {std::nullopt, "aborted (SUError 1002): " + fetchFailed, "Update Error! | " + fetchFailed},
        // clang-format on
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.message.toStdString());
        if (row.feed) {
            server.setReply(LoopbackServer::Reply::json(200, *row.feed));
        } else {
            QTcpServer probe;
            ASSERT_TRUE(probe.listen(QHostAddress::LocalHost));
            setDefault("updateFeedURL",
                       QStringLiteral("http://127.0.0.1:%1/appcast.xml").arg(probe.serverPort()));
        }
        start();
        ASSERT_TRUE(check());
        EXPECT_EQ(updateLines("error").contains(row.error), !row.error.isEmpty());
        EXPECT_EQ(driver->events, QStringList{"message " + row.message} + sessionEnded);
        EXPECT_TRUE(urls->opened.isEmpty());
        EXPECT_TRUE(controller->canCheckForUpdates());
    }
}

// The update the service demands is offered when the feed has it; another one meanwhile, or
// a feed without it, sends the user to the site, once.
TEST_F(UpdateTest, AForcedUpdateOffersWhatItFindsElseGoesToTheSiteOnce)
{
    start();
    controller->updateNow();
    ASSERT_TRUE(settle());
    EXPECT_EQ(driver->events.last(), offer);
    controller->updateNow();
    EXPECT_EQ(urls->opened, QList<QUrl>{downloadPage});
    EXPECT_EQ(server.requests().size(), 1);

    serveFeed({"0.0.1"});
    start();
    controller->updateNow();
    EXPECT_TRUE(controller->session().forcedByServer());
    ASSERT_TRUE(settle());
    EXPECT_EQ(updateLines("error"),
              QStringList{"forced update found nothing in the feed — sending them to the site"});
    EXPECT_EQ(urls->opened, QList<QUrl>{downloadPage});
    EXPECT_FALSE(controller->session().forcedByServer());
    // The user's own check right after finds nothing too, and stays in the application.
    ASSERT_TRUE(check());
    EXPECT_EQ(urls->opened.size(), 1);
}

// Each row puts the old build in place, offers 999.1 with its file on the loopback server and
// installs it.
TEST_F(UpdateTest, InstallingReplacesTheAppImageOrLeavesTheRunningCopyAlone)
{
    const QByteArray newBuild = QByteArray("\x7f") + "ELF new build";
    const QByteArray oldBuild = QByteArray("\x7f") + "ELF old build";
    using Reply = LoopbackServer::Reply;
    const struct {
        Reply file;
        bool fromAppImage;
        std::optional<QString> launchFailure;
        QString abortLine; // empty: no error
        QByteArray afterwards;
        int quits;
    } rows[] = {
        // clang-format off
        {Reply::json(200, newBuild), true, {}, {}, newBuild, 1},
        {Reply::json(200, "<html>Sign in to the Wi-Fi</html>"), true, {}, "aborted (SUError 3002): The downloaded update is not an AppImage of Quillmark, so it was not installed.", oldBuild, 0},
        {Reply::json(404, "gone"), true, {}, "aborted (SUError 2001): An error occurred while downloading the update. Please try again later.", oldBuild, 0},
        {Reply::json(200, newBuild), true, "no shell", "aborted (SUError 4004): An error occurred while relaunching Quillmark, but the new version will be available next time you run Quillmark.", newBuild, 0},
        // Without an AppImage: the download page. Last: its file is never asked for.
        {Reply::json(404, ""), false, {}, {}, oldBuild, 0},
        // clang-format on
    };
    QTemporaryDir dir;
    const QString appImage = dir.path() + "/Quillmark.AppImage";
    for (const auto& row : rows) {
        SCOPED_TRACE(row.abortLine.toStdString());
        writeRawFile(appImage, oldBuild);
        QFile::setPermissions(appImage, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        quits = 0;
        const QString url = server.baseURL() + "/Quillmark-999.1.AppImage";
        server.enqueue(Reply::json(200, feedOf({"999.1.0"}, url)));
        server.enqueue(row.file);
        const qsizetype requestsBefore = server.requests().size();
        start(row.fromAppImage ? appImage : QString());
        launcher->failure = row.launchFailure;
        ASSERT_TRUE(check());
        forget();
        driver->answer(UpdateChoice::install);
        ASSERT_TRUE(QTest::qWaitFor([this] { return !controller->updater().sessionInProgress(); }));

        EXPECT_EQ(readRawFile(appImage), row.afterwards);
        EXPECT_EQ(quits, row.quits);
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
                  QStringList{"Quillmark.AppImage"});
        if (!row.abortLine.isEmpty()) {
            EXPECT_TRUE(updateLines("error").contains(row.abortLine));
            EXPECT_EQ(driver->events.first(),
                      "message Update Error! | " + row.abortLine.section(": ", 1));
            continue;
        }
        EXPECT_EQ(urls->opened, row.fromAppImage ? QList<QUrl>() : QList<QUrl>{downloadPage});
        using Starts = QList<FakeProcessLauncher::Start>;
        EXPECT_EQ(launcher->started, (row.fromAppImage ? Starts{{appImage, {}}} : Starts()));
        EXPECT_EQ(server.requests().size(), requestsBefore + (row.fromAppImage ? 2 : 1));
        if (row.fromAppImage) {
            EXPECT_TRUE(QFile::permissions(appImage) & QFile::ExeOwner);
            EXPECT_EQ(server.requests().last().path, "/Quillmark-999.1.AppImage");
        }
    }
}

// A scheduled find waits behind a notice; the user's attention clears it. A check while
// the offer is open brings it forward instead of starting anew, and the schedule does not
// interrupt it. The next check is one interval after this one ended.
TEST_F(UpdateTest, AScheduledFindWaitsBehindANotice)
{
    setDefault("updateChecksAutomatically", true);
    start();
    fakeClock.advance(3599s);
    EXPECT_TRUE(server.requests().isEmpty());
    ASSERT_TRUE(after(1s));
    EXPECT_EQ(driver->events, (QStringList{"notice 999.1", offer}));
    driver->onUserAttention();
    EXPECT_EQ(driver->events.last(), "clear notice");

    driver->events.clear();
    controller->checkForUpdates();
    fakeClock.advance(3600s);
    EXPECT_EQ(driver->events, QStringList{"activate"});
    EXPECT_EQ(server.requests().size(), 1);
    driver->answer(UpdateChoice::remindLater);
    fakeClock.advance(3599s);
    EXPECT_EQ(server.requests().size(), 1);
    ASSERT_TRUE(after(1s));
    EXPECT_EQ(server.requests().size(), 2);
}

// The first launch starts the clock; a check overdue at launch runs at once, one half an
// interval ago waits for the other half; off means no scheduled checks.
TEST_F(UpdateTest, TheScheduleCountsFromTheLastCheckAcrossLaunches)
{
    setDefault("updateChecksAutomatically", true);
    start();
    EXPECT_EQ(config.lastCheck(), fakeClock.wallNow());
    setDefault("lastUpdateCheck", fakeClock.wallNow().addDays(-2).toString(Qt::ISODate));
    start();
    ASSERT_TRUE(after(0ms));
    EXPECT_EQ(server.requests().size(), 1);
    driver->answer(UpdateChoice::remindLater);
    setDefault("lastUpdateCheck", fakeClock.wallNow().addSecs(-1800).toString(Qt::ISODate));
    start();
    fakeClock.advance(1799s);
    EXPECT_EQ(server.requests().size(), 1);
    ASSERT_TRUE(after(1s));
    EXPECT_EQ(server.requests().size(), 2);

    setDefault("updateChecksAutomatically", false);
    start();
    EXPECT_EQ(fakeClock.pendingSleeps(), 0);
    fakeClock.advance(std::chrono::hours(24 * 7));
    EXPECT_EQ(server.requests().size(), 2);
}

// A skipped version and a failure stay quiet on the schedule; the user's own check still
// offers the skipped version.
TEST_F(UpdateTest, ScheduledChecksThatFindNothingNewAreOnlyLogged)
{
    setDefault("updateChecksAutomatically", true);
    start();
    ASSERT_TRUE(check());
    driver->answer(UpdateChoice::skipThisVersion);
    EXPECT_EQ(config.skippedVersion(), "999.1.0");
    forget();
    ASSERT_TRUE(after(3600s));
    EXPECT_EQ(driver->events, sessionEnded);

    server.setReply(LoopbackServer::Reply::json(200, "<html>maintenance</html>"));
    driver->events.clear();
    ASSERT_TRUE(after(3600s));
    EXPECT_EQ(
        updateLines("error"),
        QStringList{"aborted (SUError 1000): An error occurred while parsing the update feed."});
    EXPECT_EQ(driver->events, sessionEnded);

    serveFeed({"999.1.0"});
    ASSERT_TRUE(check());
    EXPECT_EQ(driver->events.last(), offer);
}

} // namespace
