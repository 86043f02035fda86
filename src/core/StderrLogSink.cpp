// SPDX-License-Identifier: MIT
#include "core/StderrLogSink.h"

#include "core/Log.h"

#include <cstdio>

QString StderrLogSink::formatLine(LogLevel level, LogCategory category, const QString& message)
{
    return Log::levelName(level) + u' ' + Log::categoryName(category) + QStringLiteral(": ") +
           message;
}

void StderrLogSink::write(LogLevel level, LogCategory category, const QString& message)
{
    // One fwrite per line keeps lines from different threads whole.
    const QByteArray line = (formatLine(level, category, message) + u'\n').toUtf8();
    std::fwrite(line.constData(), 1, size_t(line.size()), stderr);
}
