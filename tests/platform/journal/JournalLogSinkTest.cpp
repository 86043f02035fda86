// SPDX-License-Identifier: MIT
#include "platform/journal/JournalLogSink.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

// Inserted texts may hold anything a user selected: line breaks, "%1", "=", non-Latin.
TEST(JournalLogSinkTest, FieldsNameSubsystemCategoryAndPriorityAndKeepTheMessageInUtf8)
{
    const QString message = QStringLiteral("capture: «Grüße» = 100%1\nsecond line");
    EXPECT_EQ(JournalLogSink::fields(LogLevel::info, LogCategory::capture, message),
              QList<QByteArray>(
                  {"MESSAGE=" + message.toUtf8(), "PRIORITY=6", "SYSLOG_IDENTIFIER=quillmark",
                   "QUILLMARK_SUBSYSTEM=com.veltra.quillmark", "QUILLMARK_CATEGORY=capture"}));
    EXPECT_EQ(JournalLogSink::fields(LogLevel::error, LogCategory::update, "x")[1], "PRIORITY=3");
}

TEST(JournalLogSinkTest, AvailableOnlyWhenTheSocketExists)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const auto path = [&](const char* name) { return QFile::encodeName(dir.filePath(name)); };
    const QByteArray socketPath = path("socket");

    const int listening = ::socket(AF_UNIX, SOCK_DGRAM, 0);
    ASSERT_GE(listening, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    ASSERT_LT(size_t(socketPath.size()), sizeof(address.sun_path));
    std::copy(socketPath.begin(), socketPath.end(), address.sun_path);
    ASSERT_EQ(::bind(listening, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
    QFile file(dir.filePath("file"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();

    EXPECT_TRUE(JournalLogSink::available(socketPath.constData()));
    // Only a socket is the journal: not a plain file, a directory or nothing at all.
    for (const QByteArray& other : {path("file"), QFile::encodeName(dir.path()), path("missing")})
        EXPECT_FALSE(JournalLogSink::available(other.constData())) << other.toStdString();

    ::close(listening);
}

} // namespace
