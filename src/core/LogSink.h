// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

enum class LogLevel { info, error };
enum class LogCategory { app, hotkey, capture, ai, replace, update };

// Where log lines end up. Implementations must accept calls from any thread.
class LogSink {
public:
    LogSink() = default;
    LogSink(const LogSink&) = delete;
    LogSink& operator=(const LogSink&) = delete;
    virtual ~LogSink() = default;

    // Writes one formatted message; failures to write are swallowed.
    virtual void write(LogLevel level, LogCategory category, const QString& message) = 0;
};
