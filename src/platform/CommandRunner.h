// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringList>
#include <qcoro/qcorotask.h>

// Runs a command-line tool to its end without blocking the main thread. Main thread only.
class CommandRunner {
public:
    CommandRunner() = default;
    CommandRunner(const CommandRunner&) = delete;
    CommandRunner& operator=(const CommandRunner&) = delete;
    virtual ~CommandRunner() = default;

    // The tool's exit status; -1 when it could not be started or did not exit normally.
    virtual QCoro::Task<int> run(QString program, QStringList arguments) = 0;
    // The full path of a tool found on PATH; empty when there is none.
    virtual QString findExecutable(const QString& name) const = 0;
};
