// SPDX-License-Identifier: MIT
#pragma once

#include "core/LogSink.h"

#include <QMutex>
#include <QStringList>

// Keeps every line in memory as "LEVEL CATEGORY: MESSAGE", for exact assertions.
class MemoryLogSink final : public LogSink {
public:
    void write(LogLevel level, LogCategory category, const QString& message) override;

    QStringList lines() const;
    void clear();
    // True when some line equals `line` exactly.
    bool contains(const QString& line) const;

private:
    mutable QMutex m_mutex;
    QStringList m_lines;
};
