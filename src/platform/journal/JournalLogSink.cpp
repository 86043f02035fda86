// SPDX-License-Identifier: MIT
#include "platform/journal/JournalLogSink.h"

#include "core/Log.h"

#include <sys/stat.h>
#include <sys/uio.h>
#include <systemd/sd-journal.h>
#include <vector>

namespace {
// syslog priorities, as the journal's PRIORITY field expects them.
constexpr int priorityInfo = 6;
constexpr int priorityError = 3;
} // namespace

bool JournalLogSink::available(const char* socketPath)
{
    struct stat status {};
    return ::stat(socketPath, &status) == 0 && S_ISSOCK(status.st_mode);
}

QList<QByteArray> JournalLogSink::fields(LogLevel level, LogCategory category,
                                         const QString& message)
{
    const int priority = level == LogLevel::error ? priorityError : priorityInfo;
    return {
        "MESSAGE=" + message.toUtf8(),
        "PRIORITY=" + QByteArray::number(priority),
        QByteArrayLiteral("SYSLOG_IDENTIFIER=quillmark"),
        QByteArray("QUILLMARK_SUBSYSTEM=") + Log::subsystem,
        "QUILLMARK_CATEGORY=" + Log::categoryName(category).toUtf8(),
    };
}

void JournalLogSink::write(LogLevel level, LogCategory category, const QString& message)
{
    const QList<QByteArray> entry = fields(level, category, message);
    std::vector<iovec> parts;
    parts.reserve(size_t(entry.size()));
    for (const QByteArray& field : entry)
        parts.push_back({const_cast<char*>(field.constData()), size_t(field.size())});
    // A failed send loses only this line; logging must never disturb the caller.
    (void)sd_journal_sendv(parts.data(), int(parts.size()));
}
