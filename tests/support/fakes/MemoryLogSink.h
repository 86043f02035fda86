// SPDX-License-Identifier: MIT
#pragma once

#include "core/LogSink.h"
#include "core/StderrLogSink.h"
#include "support/fakes/CallJournal.h"

#include <QMutex>
#include <QStringList>

// Keeps every line in memory as "LEVEL CATEGORY: MESSAGE", for exact assertions. Given a
// journal, it also records each line there as "log LINE", so a test can check the order of
// log lines and component calls together.
class MemoryLogSink final : public LogSink {
public:
    explicit MemoryLogSink(CallJournal* echo = nullptr)
        : m_echo(echo)
    {}

    void write(LogLevel level, LogCategory category, const QString& message) override
    {
        const QString line = StderrLogSink::formatLine(level, category, message);
        if (m_echo)
            m_echo->record(QStringLiteral("log ") + line);
        QMutexLocker lock(&m_mutex);
        m_lines.append(line);
    }
    QStringList lines() const
    {
        QMutexLocker lock(&m_mutex);
        return m_lines;
    }
    void clear()
    {
        QMutexLocker lock(&m_mutex);
        m_lines.clear();
    }
    // True when some line equals `line` exactly.
    bool contains(const QString& line) const { return lines().contains(line); }

private:
    CallJournal* m_echo;
    mutable QMutex m_mutex;
    QStringList m_lines;
};
