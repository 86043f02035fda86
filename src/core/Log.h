// SPDX-License-Identifier: MIT
#pragma once

#include "core/LogSink.h"

#include <QString>

// A logger for one category of the product's log. Usable from any thread.
//
// Messages are fixed format texts with their values filled in; use QString::arg with
// several arguments at once, so a value that contains "%1" is never expanded again:
//     Log::ai().info(QStringLiteral("%1 start (%2 chars in)").arg(name, QString::number(n)));
class Logger {
public:
    explicit constexpr Logger(LogCategory category)
        : m_category(category)
    {}

    void info(const QString& message) const;
    void error(const QString& message) const;

    LogCategory category() const { return m_category; }

private:
    LogCategory m_category;
};

namespace Log {
inline constexpr const char* subsystem = "com.veltra.quillmark";

// Where every logger writes: standard error until main() installs the journal (tests
// install a memory sink). The installed sink is borrowed and must outlive its use.
LogSink& sink();
void setSink(LogSink* sink);

const Logger& app();
const Logger& hotkey();
const Logger& capture();
const Logger& ai();
const Logger& replace();
const Logger& update();

// "app", "hotkey", "capture", "ai", "replace", "update".
QString categoryName(LogCategory category);
// "info" or "error".
QString levelName(LogLevel level);
} // namespace Log
