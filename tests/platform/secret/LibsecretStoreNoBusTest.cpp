// SPDX-License-Identifier: MIT
// The store when there is no session bus at all, as for a command run over ssh.
#include "platform/secret/LibsecretStore.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

TEST(LibsecretStoreNoBusTest, AnswersNothingAndFailsAtOnce)
{
    // An address where nothing listens; set before the first use of the bus in this
    // process, as GLib keeps its first connection.
    QTemporaryDir dir;
    qputenv("DBUS_SESSION_BUS_ADDRESS",
            "unix:path=" + dir.filePath(QStringLiteral("no-bus-here")).toUtf8());
    const QString service = QStringLiteral("com.veltra.quillmark.test");
    const QString account = QStringLiteral("openai_api_key");

    LibsecretStore store;
    QElapsedTimer timer;
    timer.start();

    EXPECT_EQ(store.read(service, account), std::nullopt);
    EXPECT_FALSE(store.write(service, account, "sk-test"));
    EXPECT_FALSE(store.remove(service, account));
    EXPECT_LT(timer.elapsed(), 10000);
}

} // namespace
