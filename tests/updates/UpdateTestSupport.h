// SPDX-License-Identifier: MIT
#pragma once

#include "core/AppIdentity.h"
#include "settings/UserDefaults.h"
#include "support/LoopbackServer.h"
#include "support/TestEnvironment.h"
#include "support/fakes/FakeProcessLauncher.h"
#include "support/fakes/FakeUpdateUserDriver.h"
#include "support/fakes/FakeUrlOpener.h"
#include "updates/UpdateController.h"

#include <QTcpServer>
#include <QTest>
#include <gtest/gtest.h>

// One appcast item. The build version is what the updater compares; the display version
// is what the log and the dialog show.
inline QByteArray
appcastItem(const QString& build, const QString& display,
            const QString& file = QStringLiteral("https://example.org/Q.AppImage"))
{
    return QStringLiteral("<item><title>Version %2</title>"
                          "<sparkle:version>%1</sparkle:version>"
                          "<sparkle:shortVersionString>%2</sparkle:shortVersionString>"
                          "<description><![CDATA[<p>New things</p>]]></description>"
                          "<enclosure url=\"%3\" length=\"0\" type=\"application/octet-stream\"/>"
                          "</item>")
        .arg(build, display, file)
        .toUtf8();
}

inline QByteArray appcastOf(const QList<QByteArray>& items)
{
    QByteArray document = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
                          "<rss version=\"2.0\" "
                          "xmlns:sparkle=\"http://www.andymatuschak.org/xml-namespaces/sparkle\">"
                          "<channel><title>Quillmark</title>";
    for (const QByteArray& item : items)
        document += item;
    return document + "</channel></rss>";
}

// A controller over a loopback feed, with recording fakes for everything the user sees.
class UpdateTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        setDefault("updateFeedURL", feedURL());
        setDefault("updateChecksAutomatically", false);
        setDefault("updateCheckInterval", 3600);
        setDefault("siteBaseURL", "https://site.example.org");
    }

    static void setDefault(const char* key, const QJsonValue& value)
    {
        ASSERT_TRUE(UserDefaults::standard().set(QString::fromLatin1(key), value));
    }

    QString feedURL() const { return server.baseURL() + QStringLiteral("/appcast.xml"); }

    void serveFeed(const QByteArray& document)
    {
        server.setReply({LoopbackServer::Reply::Kind::respond,
                         200,
                         document,
                         {{"Content-Type", "application/rss+xml"}}});
    }

    // Creates the controller (which starts the updater) with fresh fakes; `appImage` is
    // the file it would replace.
    UpdateController& start(const QString& appImage = {})
    {
        UpdateServices services;
        auto driverFake = std::make_unique<FakeUpdateUserDriver>();
        auto urlsFake = std::make_unique<FakeUrlOpener>();
        auto launcherFake = std::make_unique<FakeProcessLauncher>();
        driver = driverFake.get();
        urls = urlsFake.get();
        launcher = launcherFake.get();
        services.userDriver = std::move(driverFake);
        services.urlOpener = std::move(urlsFake);
        services.launcher = std::move(launcherFake);
        services.quit = [this] { ++quits; };
        services.appImagePath = appImage;
        controller = std::make_unique<UpdateController>(std::move(services), fakeClock.clock);
        return *controller;
    }

    // Lets the event loop run until the open session has reached the user or ended.
    [[nodiscard]] bool settle()
    {
        return QTest::qWaitFor(
            [this] { return !controller->updater().sessionInProgress() || driver->pendingReply; });
    }

    // The log lines of the update category, without their level and category.
    QStringList updateLines(const char* level = "info") const
    {
        QStringList lines;
        const QString prefix = QString::fromLatin1(level) + QStringLiteral(" update: ");
        for (const QString& line : log.lines()) {
            if (line.startsWith(prefix))
                lines.append(line.mid(prefix.size()));
        }
        return lines;
    }

    ScopedConfigHome home;
    ScopedFakeClock fakeClock;
    ScopedLogCapture log;
    LoopbackServer server;
    FakeUpdateUserDriver* driver = nullptr;
    FakeUrlOpener* urls = nullptr;
    FakeProcessLauncher* launcher = nullptr;
    int quits = 0;
    // Last, so it goes first: its timers and sessions refer to everything above.
    std::unique_ptr<UpdateController> controller;
};
