// SPDX-License-Identifier: MIT
#include "UpdateTestSupport.h"

#include <QFile>
#include <QTemporaryDir>

namespace {

// Each row puts the old build in place, offers 999.1 with its file on the loopback server and
// installs it.
TEST_F(UpdateTest, InstallingReplacesTheAppImageOrLeavesTheRunningCopyAlone)
{
    const QByteArray newBuild = QByteArray("\x7f") + "ELF new build";
    const QByteArray oldBuild = QByteArray("\x7f") + "ELF old build";
    using Reply = LoopbackServer::Reply;
    const struct {
        const char* name;
        Reply file;
        bool fromAppImage;
        std::optional<QString> launchFailure;
        QString abortLine; // empty: no error
        QByteArray afterwards;
        int quits;
    } rows[] = {
        // clang-format off
        {"replaced and started again", Reply::json(200, newBuild), true, {}, {}, newBuild, 1},
        {"not an AppImage", Reply::json(200, "<html>Sign in to the Wi-Fi</html>"), true, {}, "aborted (SUError 3002): The downloaded update is not an AppImage of Quillmark, so it was not installed.", oldBuild, 0},
        {"file missing on the server", Reply::json(404, "gone"), true, {}, "aborted (SUError 2001): An error occurred while downloading the update. Please try again later.", oldBuild, 0},
        {"relaunch refused", Reply::json(200, newBuild), true, "no shell", "aborted (SUError 4004): An error occurred while relaunching Quillmark, but the new version will be available next time you run Quillmark.", newBuild, 0},
        // Last: its file is never asked for.
        {"no AppImage: the download page", Reply::json(404, ""), false, {}, {}, oldBuild, 0},
        // clang-format on
    };
    QTemporaryDir dir;
    const QString appImage = dir.path() + "/Quillmark.AppImage";
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        writeRawFile(appImage, oldBuild);
        QFile::setPermissions(appImage, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        quits = 0;
        const QString url = server.baseURL() + "/Quillmark-999.1.AppImage";
        server.enqueue(Reply::json(200, appcastOf({appcastItem("999.1.0", "999.1", url)})));
        server.enqueue(row.file);
        const qsizetype requestsBefore = server.requests().size();
        start(row.fromAppImage ? appImage : QString());
        launcher->failure = row.launchFailure;
        controller->checkForUpdates();
        ASSERT_TRUE(settle());
        log.sink.clear();
        driver->events.clear();
        driver->answer(UpdateChoice::install);
        ASSERT_TRUE(QTest::qWaitFor([this] { return !controller->updater().sessionInProgress(); }));

        EXPECT_EQ(readRawFile(appImage), row.afterwards);
        EXPECT_EQ(quits, row.quits);
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
                  QStringList{"Quillmark.AppImage"});
        if (!row.abortLine.isEmpty()) {
            EXPECT_TRUE(updateLines("error").contains(row.abortLine))
                << updateLines("error").join('\n').toStdString();
            EXPECT_EQ(driver->events.first(),
                      "message Update Error! | " + row.abortLine.section(": ", 1));
            continue;
        }
        EXPECT_EQ(updateLines(),
                  QStringList({"installing 999.1", "update session finished — back to accessory"}));
        if (!row.fromAppImage) {
            EXPECT_EQ(urls->opened, QList<QUrl>{downloadPage});
            EXPECT_EQ(server.requests().size(), requestsBefore + 1);
            EXPECT_TRUE(launcher->started.isEmpty());
            continue;
        }
        EXPECT_TRUE(QFile::permissions(appImage) & QFile::ExeOwner);
        EXPECT_EQ(launcher->started, (QList<FakeProcessLauncher::Start>{{appImage, {}}}));
        ASSERT_EQ(server.requests().size(), requestsBefore + 2);
        EXPECT_EQ(server.requests().last().path, "/Quillmark-999.1.AppImage");
    }
}

} // namespace
