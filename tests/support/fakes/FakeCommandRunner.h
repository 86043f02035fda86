// SPDX-License-Identifier: MIT
#pragma once

#include "platform/CommandRunner.h"

#include <QHash>
#include <deque>

// Records every command and answers at once with the next scripted exit status (1 once
// the script has run out). Only the tools listed in `installed` are found.
class FakeCommandRunner final : public CommandRunner {
public:
    QCoro::Task<int> run(QString program, QStringList arguments) override
    {
        runs.append((QStringList{program} + arguments).join(u' '));
        int status = 1;
        if (!statuses.empty()) {
            status = statuses.front();
            statuses.pop_front();
        }
        co_return status;
    }

    QString findExecutable(const QString& name) const override { return installed.value(name); }

    // "program argument…" per run.
    QStringList runs;
    std::deque<int> statuses;
    QHash<QString, QString> installed;
};
