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

TEST(JournalLogSinkTest, FieldsNameSubsystemCategoryAndPriority)
{
    struct Case {
        LogLevel level;
        LogCategory category;
        const char* priority;
        const char* category_;
    };
    const Case cases[] = {
        {LogLevel::info, LogCategory::app, "PRIORITY=6", "QUILLMARK_CATEGORY=app"},
        {LogLevel::error, LogCategory::hotkey, "PRIORITY=3", "QUILLMARK_CATEGORY=hotkey"},
        {LogLevel::info, LogCategory::capture, "PRIORITY=6", "QUILLMARK_CATEGORY=capture"},
        {LogLevel::error, LogCategory::ai, "PRIORITY=3", "QUILLMARK_CATEGORY=ai"},
        {LogLevel::info, LogCategory::replace, "PRIORITY=6", "QUILLMARK_CATEGORY=replace"},
        {LogLevel::error, LogCategory::update, "PRIORITY=3", "QUILLMARK_CATEGORY=update"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.category_);
        const QList<QByteArray> expected = {
            "MESSAGE=hotkey fired",
            c.priority,
            "SYSLOG_IDENTIFIER=quillmark",
            "QUILLMARK_SUBSYSTEM=com.veltra.quillmark",
            c.category_,
        };
        EXPECT_EQ(JournalLogSink::fields(c.level, c.category, QStringLiteral("hotkey fired")),
                  expected);
    }
}

TEST(JournalLogSinkTest, MessageIsKeptWordForWordInUtf8)
{
    // Inserted texts may hold anything a user selected: line breaks, "%1", "=", non-Latin.
    const QString message = QStringLiteral("capture: «Grüße» = 100%1\nsecond line");
    EXPECT_EQ(JournalLogSink::fields(LogLevel::info, LogCategory::capture, message).first(),
              "MESSAGE=" + message.toUtf8());
}

TEST(JournalLogSinkTest, AvailableOnlyWhenTheSocketExists)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QByteArray socketPath = QFile::encodeName(dir.filePath(QStringLiteral("socket")));
    const QByteArray filePath = QFile::encodeName(dir.filePath(QStringLiteral("file")));
    const QByteArray missingPath = QFile::encodeName(dir.filePath(QStringLiteral("missing")));

    const int listening = ::socket(AF_UNIX, SOCK_DGRAM, 0);
    ASSERT_GE(listening, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    ASSERT_LT(size_t(socketPath.size()), sizeof(address.sun_path));
    std::copy(socketPath.begin(), socketPath.end(), address.sun_path);
    ASSERT_EQ(::bind(listening, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
    QFile file(QFile::decodeName(filePath));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();

    EXPECT_TRUE(JournalLogSink::available(socketPath.constData()));
    // Only a socket is the journal: not a plain file, a directory or nothing at all.
    EXPECT_FALSE(JournalLogSink::available(filePath.constData()));
    EXPECT_FALSE(JournalLogSink::available(QFile::encodeName(dir.path()).constData()));
    EXPECT_FALSE(JournalLogSink::available(missingPath.constData()));

    ::close(listening);
}

} // namespace
