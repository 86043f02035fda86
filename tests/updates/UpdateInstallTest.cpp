// SPDX-License-Identifier: MIT
#include "UpdateTestSupport.h"

#include <QFile>
#include <QTemporaryDir>

namespace {

const QByteArray newBuild = QByteArray("\x7f"
                                       "ELF new build",
                                       13);
const QByteArray oldBuild = QByteArray("\x7f"
                                       "ELF old build",
                                       13);

class UpdateInstallTest : public UpdateTest {
protected:
    QString appImage() const { return m_dir.path() + "/Quillmark.AppImage"; }

    // Puts the old build in place, offers 999.1 with its file on the loopback server and
    // installs it.
    void installFrom(const LoopbackServer::Reply& file, const QString& installFrom,
                     std::optional<QString> launchFailure)
    {
        writeRawFile(appImage(), oldBuild);
        QFile::setPermissions(appImage(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        quits = 0;
        const QString url = server.baseURL() + "/Quillmark-999.1.AppImage";
        server.enqueue(
            LoopbackServer::Reply::json(200, appcastOf({appcastItem("999.1.0", "999.1", url)})));
        server.enqueue(file);
        start(installFrom);
        launcher->failure = std::move(launchFailure);
        controller->checkForUpdates();
        ASSERT_TRUE(settle());
        log.sink.clear();
        driver->events.clear();
        driver->answer(UpdateChoice::install);
        ASSERT_TRUE(QTest::qWaitFor([this] { return !controller->updater().sessionInProgress(); }));
    }

    QTemporaryDir m_dir;
};

TEST_F(UpdateInstallTest, ReplacesTheAppImageOrLeavesTheRunningCopyAlone)
{
    const QStringList finished{"installing 999.1", "update session finished — back to accessory"};
    const LoopbackServer::Reply newFile = LoopbackServer::Reply::json(200, newBuild);
    const struct {
        const char* name;
        LoopbackServer::Reply file;
        bool fromAppImage;
        std::optional<QString> launchFailure;
        QString abortLine; // empty: no error
        QByteArray afterwards;
        int quits;
    } rows[] = {
        {"replaced and started again", newFile, true, std::nullopt, {}, newBuild, 1},
        {"not an AppImage", LoopbackServer::Reply::json(200, "<html>Sign in to the Wi-Fi</html>"),
         true, std::nullopt,
         "aborted (SUError 3002): The downloaded update is not an AppImage of Quillmark, so it "
         "was not installed.",
         oldBuild, 0},
        {"file missing on the server", LoopbackServer::Reply::json(404, "gone"), true, std::nullopt,
         "aborted (SUError 2001): An error occurred while downloading the update. Please try "
         "again later.",
         oldBuild, 0},
        {"relaunch refused", newFile, true, QStringLiteral("no shell"),
         "aborted (SUError 4004): An error occurred while relaunching Quillmark, but the new "
         "version will be available next time you run Quillmark.",
         newBuild, 0},
        // Last: its file is never asked for.
        {"no AppImage: the download page",
         LoopbackServer::Reply::json(404, ""),
         false,
         std::nullopt,
         {},
         oldBuild,
         0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const qsizetype requestsBefore = server.requests().size();
        installFrom(row.file, row.fromAppImage ? appImage() : QString(), row.launchFailure);

        EXPECT_EQ(readRawFile(appImage()), row.afterwards);
        EXPECT_EQ(quits, row.quits);
        EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden),
                  QStringList{"Quillmark.AppImage"});
        if (!row.abortLine.isEmpty()) {
            EXPECT_TRUE(updateLines("error").contains(row.abortLine))
                << updateLines("error").join('\n').toStdString();
            EXPECT_EQ(driver->events.first(),
                      "message Update Error! | " + row.abortLine.section(": ", 1));
            continue;
        }
        EXPECT_EQ(updateLines(), finished);
        if (!row.fromAppImage) {
            EXPECT_EQ(urls->opened, QList<QUrl>{QUrl("https://site.example.org/download")});
            EXPECT_EQ(server.requests().size(), requestsBefore + 1);
            EXPECT_TRUE(launcher->started.isEmpty());
            continue;
        }
        EXPECT_TRUE(QFile::permissions(appImage()) & QFile::ExeOwner);
        EXPECT_EQ(launcher->started, (QList<FakeProcessLauncher::Start>{{appImage(), {}}}));
        ASSERT_EQ(server.requests().size(), requestsBefore + 2);
        EXPECT_EQ(server.requests().last().path, "/Quillmark-999.1.AppImage");
    }
}

} // namespace
