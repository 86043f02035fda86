// SPDX-License-Identifier: MIT
#include "app/ProcessLog.h"

#include "core/Log.h"
#include "core/StderrLogSink.h"
#include "platform/journal/JournalLogSink.h"

#include <QtGlobal>

namespace {

class DiscardingLogSink final : public LogSink {
public:
    void write(LogLevel, LogCategory, const QString&) override {}
};

std::unique_ptr<LogSink> chooseSink(ProcessLog::Role role)
{
    const bool forceStderr = qEnvironmentVariable("QUILLMARK_LOG") == QLatin1String("stderr");
    if (forceStderr)
        return std::make_unique<StderrLogSink>();
    if (JournalLogSink::available())
        return std::make_unique<JournalLogSink>();
    if (role == ProcessLog::Role::command)
        return std::make_unique<DiscardingLogSink>();
    return std::make_unique<StderrLogSink>();
}

} // namespace

ProcessLog::ProcessLog(Role role)
    : m_sink(chooseSink(role))
{
    Log::setSink(m_sink.get());
}

ProcessLog::~ProcessLog()
{
    Log::setSink(nullptr);
}
