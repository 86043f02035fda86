// SPDX-License-Identifier: MIT
#pragma once

#include "core/LogSink.h"

#include <QByteArray>
#include <QList>

// Writes each message to the systemd journal as one entry whose fields keep what the
// product's log is about: the subsystem, the category and the level.
class JournalLogSink final : public LogSink {
public:
    static constexpr const char* defaultSocketPath = "/run/systemd/journal/socket";

    // True when the journal's socket is there. Sending to a journal that is not running
    // fails silently, so the socket is the only honest sign that the lines will be kept.
    static bool available(const char* socketPath = defaultSocketPath);

    // The journal fields of one message, each as "NAME=value".
    static QList<QByteArray> fields(LogLevel level, LogCategory category, const QString& message);

    void write(LogLevel level, LogCategory category, const QString& message) override;
};
