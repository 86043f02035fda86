// SPDX-License-Identifier: MIT
#pragma once

#include "platform/CommandRunner.h"

#include <chrono>

// Runs tools as child processes with their output discarded. A tool that has not ended
// after `limit` is killed and counts as failed, so a hung helper cannot stall a retry loop.
class QProcessCommandRunner final : public CommandRunner {
public:
    explicit QProcessCommandRunner(std::chrono::milliseconds limit = std::chrono::seconds(30));

    QCoro::Task<int> run(QString program, QStringList arguments) override;
    QString findExecutable(const QString& name) const override;

private:
    std::chrono::milliseconds m_limit;
};
