// SPDX-License-Identifier: MIT
#pragma once

#include "platform/ProcessLauncher.h"

#include <QtGlobal>
#include <chrono>

// Starts the program through a small shell that first waits for the given process (this
// one by default) to end, for at most `longestWait`: a process that is never reaped by
// its parent must not hold the new copy back for good.
class DetachedProcessLauncher final : public ProcessLauncher {
public:
    explicit DetachedProcessLauncher(
        qint64 waitForPid = 0, std::chrono::milliseconds longestWait = std::chrono::seconds(5));

    std::optional<QString> startAfterThisProcess(const QString& program,
                                                 const QStringList& arguments) override;

    // The shell's arguments that run `program` once `pid` has ended.
    static QStringList waitingCommand(qint64 pid, std::chrono::milliseconds longestWait,
                                      const QString& program, const QStringList& arguments);

private:
    qint64 m_waitForPid;
    std::chrono::milliseconds m_longestWait;
};
