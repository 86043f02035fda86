// SPDX-License-Identifier: MIT
#include "core/Log.h"

#include "core/StderrLogSink.h"

#include <atomic>

namespace {
std::atomic<LogSink*> g_sink = nullptr;
} // namespace

void Logger::info(const QString& message) const
{
    Log::sink().write(LogLevel::info, m_category, message);
}

void Logger::error(const QString& message) const
{
    Log::sink().write(LogLevel::error, m_category, message);
}

namespace Log {

LogSink& sink()
{
    static StderrLogSink standardError;
    LogSink* installed = g_sink.load(std::memory_order_acquire);
    return installed ? *installed : standardError;
}

void setSink(LogSink* sink)
{
    g_sink.store(sink, std::memory_order_release);
}

// Loggers are constant-initialised, so first use from several threads is safe.
namespace {
constexpr Logger appLogger{LogCategory::app};
constexpr Logger hotkeyLogger{LogCategory::hotkey};
constexpr Logger captureLogger{LogCategory::capture};
constexpr Logger aiLogger{LogCategory::ai};
constexpr Logger replaceLogger{LogCategory::replace};
constexpr Logger updateLogger{LogCategory::update};
} // namespace

const Logger& app()
{
    return appLogger;
}
const Logger& hotkey()
{
    return hotkeyLogger;
}
const Logger& capture()
{
    return captureLogger;
}
const Logger& ai()
{
    return aiLogger;
}
const Logger& replace()
{
    return replaceLogger;
}
const Logger& update()
{
    return updateLogger;
}

QString categoryName(LogCategory category)
{
    switch (category) {
    case LogCategory::app:
        return QStringLiteral("app");
    case LogCategory::hotkey:
        return QStringLiteral("hotkey");
    case LogCategory::capture:
        return QStringLiteral("capture");
    case LogCategory::ai:
        return QStringLiteral("ai");
    case LogCategory::replace:
        return QStringLiteral("replace");
    case LogCategory::update:
        return QStringLiteral("update");
    }
    return {};
}

QString levelName(LogLevel level)
{
    return level == LogLevel::error ? QStringLiteral("error") : QStringLiteral("info");
}

} // namespace Log
