// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// Starts another copy of the product, independent of this process. Main thread only.
class ProcessLauncher {
public:
    ProcessLauncher() = default;
    ProcessLauncher(const ProcessLauncher&) = delete;
    ProcessLauncher& operator=(const ProcessLauncher&) = delete;
    virtual ~ProcessLauncher() = default;

    // Starts `program` with `arguments` as soon as this process has exited, so the new copy
    // can take over the single-instance name this one holds. The caller quits right after.
    // Nothing on success; otherwise the reason it could not be started.
    [[nodiscard]] virtual std::optional<QString>
    startAfterThisProcess(const QString& program, const QStringList& arguments) = 0;
};
