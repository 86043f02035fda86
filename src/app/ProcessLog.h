// SPDX-License-Identifier: MIT
#pragma once

#include "core/LogSink.h"

#include <memory>

// Where this process's log lines go, chosen once at start-up and installed for the life of
// the object. QUILLMARK_LOG=stderr sends them to standard error; otherwise they go to the
// journal when there is one. Without a journal the tray application logs to standard error,
// while a command's log must not mix with its output and is dropped.
class ProcessLog {
public:
    enum class Role { trayApplication, command };

    explicit ProcessLog(Role role);
    ~ProcessLog();
    ProcessLog(const ProcessLog&) = delete;
    ProcessLog& operator=(const ProcessLog&) = delete;

private:
    std::unique_ptr<LogSink> m_sink;
};
