// SPDX-License-Identifier: MIT
#include "app/LinuxPlatform.h"
#include "core/Log.h"

#include "core/StderrLogSink.h"
#include "core/SystemClock.h"
#include "platform/KeyboardLayout.h"
#include "platform/SecretStore.h"
#include "platform/journal/JournalLogSink.h"
#include "platform/secret/LibsecretStore.h"
#include "platform/xkb/XkbKeyboardLayout.h"

#include <QtGlobal>

namespace {

class DiscardingLogSink final : public LogSink {
public:
    void write(LogLevel, LogCategory, const QString&) override {}
};

std::unique_ptr<LogSink> chooseLogSink(LinuxPlatform::Role role)
{
    const bool forceStderr = qEnvironmentVariable("QUILLMARK_LOG") == QLatin1String("stderr");
    if (forceStderr)
        return std::make_unique<StderrLogSink>();
    if (JournalLogSink::available())
        return std::make_unique<JournalLogSink>();
    if (role == LinuxPlatform::Role::command)
        return std::make_unique<DiscardingLogSink>();
    return std::make_unique<StderrLogSink>();
}

} // namespace

LinuxPlatform::LinuxPlatform(Role role)
    : m_logSink(chooseLogSink(role))
    , m_clock(std::make_unique<SystemClock>())
    , m_secretStore(std::make_unique<LibsecretStore>())
    , m_keyboardLayout(std::make_unique<XkbKeyboardLayout>())
{
    Log::setSink(m_logSink.get());
}

LinuxPlatform::~LinuxPlatform()
{
    Log::setSink(nullptr);
}
