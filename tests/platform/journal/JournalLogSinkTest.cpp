// SPDX-License-Identifier: MIT
#include "platform/journal/JournalLogSink.h"

#include <gtest/gtest.h>

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

} // namespace
