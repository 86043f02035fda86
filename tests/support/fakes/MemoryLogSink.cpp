// SPDX-License-Identifier: MIT
#include "support/fakes/MemoryLogSink.h"

#include "core/StderrLogSink.h"

void MemoryLogSink::write(LogLevel level, LogCategory category, const QString& message)
{
    QMutexLocker lock(&m_mutex);
    m_lines.append(StderrLogSink::formatLine(level, category, message));
}

QStringList MemoryLogSink::lines() const
{
    QMutexLocker lock(&m_mutex);
    return m_lines;
}

void MemoryLogSink::clear()
{
    QMutexLocker lock(&m_mutex);
    m_lines.clear();
}

bool MemoryLogSink::contains(const QString& line) const
{
    QMutexLocker lock(&m_mutex);
    return m_lines.contains(line);
}
