// SPDX-License-Identifier: MIT
#pragma once

#include "core/LogSink.h"

// One line per message on standard error: "LEVEL CATEGORY: MESSAGE".
class StderrLogSink final : public LogSink {
public:
    void write(LogLevel level, LogCategory category, const QString& message) override;

    static QString formatLine(LogLevel level, LogCategory category, const QString& message);
};
