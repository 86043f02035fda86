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

    // Offers 999.1 with its file on the loopback server and installs it.
    void installFrom(const LoopbackServer::Reply& file, const QString& installFrom = {})
    {
        const QString url = server.baseURL() + "/Quillmark-999.1.AppImage";
        server.enqueue({LoopbackServer::Reply::Kind::respond,
                        200,
                        appcastOf({appcastItem("999.1.0", "999.1", url)}),
                        {}});
        server.enqueue(file);
        start(installFrom);
        controller->checkForUpdates();
        ASSERT_TRUE(settle());
        log.sink.clear();
        driver->events.clear();
        driver->answer(UpdateChoice::install);
        ASSERT_TRUE(QTest::qWaitFor([this] { return !controller->updater().sessionInProgress(); }));
    }

    void SetUp() override
    {
        UpdateTest::SetUp();
        QFile file(appImage());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(oldBuild);
        file.close();
        QFile::setPermissions(appImage(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    QByteArray appImageContents() const
    {
        QFile file(appImage());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QTemporaryDir m_dir;
};

TEST_F(UpdateInstallTest, WithoutAnAppImageTheDownloadPageOpens)
{
    installFrom(LoopbackServer::Reply::json(404, ""));
    EXPECT_EQ(updateLines(),
              (QStringList{"installing 999.1", "update session finished — back to accessory"}));
    EXPECT_EQ(urls->opened, QList<QUrl>{QUrl("https://site.example.org/download")});
    EXPECT_EQ(server.requests().size(), 1);
    EXPECT_EQ(quits, 0);
    EXPECT_TRUE(launcher->started.isEmpty());
}

TEST_F(UpdateInstallTest, TheAppImageIsReplacedAndStartsAgain)
{
    installFrom({LoopbackServer::Reply::Kind::respond, 200, newBuild, {}}, appImage());

    EXPECT_EQ(updateLines(),
              (QStringList{"installing 999.1", "update session finished — back to accessory"}));
    EXPECT_EQ(appImageContents(), newBuild);
    EXPECT_TRUE(QFile::permissions(appImage()) & QFile::ExeOwner);
    EXPECT_EQ(launcher->started, (QList<FakeProcessLauncher::Start>{{appImage(), {}}}));
    EXPECT_EQ(quits, 1);
    ASSERT_EQ(server.requests().size(), 2);
    EXPECT_EQ(server.requests()[1].path, "/Quillmark-999.1.AppImage");
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList{"Quillmark.AppImage"});
}

TEST_F(UpdateInstallTest, AFailedInstallLeavesTheRunningCopyAlone)
{
    const struct {
        const char* name;
        LoopbackServer::Reply file;
        std::optional<QString> launchFailure;
        QString abortLine;
        QByteArray afterwards;
    } rows[] = {
        {"not an AppImage",
         {LoopbackServer::Reply::Kind::respond, 200, "<html>Sign in to the Wi-Fi</html>", {}},
         std::nullopt,
         "aborted (SUError 3002): The downloaded update is not an AppImage of Quillmark, so it "
         "was not installed.",
         oldBuild},
        {"file missing on the server", LoopbackServer::Reply::json(404, "gone"), std::nullopt,
         "aborted (SUError 2001): An error occurred while downloading the update. Please try "
         "again later.",
         oldBuild},
        {"relaunch refused",
         {LoopbackServer::Reply::Kind::respond, 200, newBuild, {}},
         QStringLiteral("no shell"),
         "aborted (SUError 4004): An error occurred while relaunching Quillmark, but the new "
         "version will be available next time you run Quillmark.",
         newBuild},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        QFile::remove(appImage());
        QFile old(appImage());
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write(oldBuild);
        old.close();
        quits = 0;

        const QString url = server.baseURL() + "/Quillmark-999.1.AppImage";
        server.enqueue({LoopbackServer::Reply::Kind::respond,
                        200,
                        appcastOf({appcastItem("999.1.0", "999.1", url)}),
                        {}});
        server.enqueue(row.file);
        start(appImage());
        launcher->failure = row.launchFailure;
        controller->checkForUpdates();
        ASSERT_TRUE(settle());
        log.sink.clear();
        driver->events.clear();
        driver->answer(UpdateChoice::install);
        ASSERT_TRUE(QTest::qWaitFor([this] { return !controller->updater().sessionInProgress(); }));

        EXPECT_TRUE(updateLines("error").contains(row.abortLine))
            << updateLines("error").join('\n').toStdString();
        EXPECT_EQ(appImageContents(), row.afterwards);
        EXPECT_EQ(quits, 0);
        EXPECT_EQ(driver->events.first(),
                  "message Update Error! | " + row.abortLine.section(": ", 1));
        EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden),
                  QStringList{"Quillmark.AppImage"});
    }
}

} // namespace
