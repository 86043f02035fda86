// SPDX-License-Identifier: MIT
#pragma once

#include "platform/ProcessLauncher.h"

#include <QList>

// Records each start instead of starting anything; fails with `failure` when set.
class FakeProcessLauncher final : public ProcessLauncher {
public:
    struct Start {
        QString program;
        QStringList arguments;
        bool operator==(const Start&) const = default;
    };

    std::optional<QString> startAfterThisProcess(const QString& program,
                                                 const QStringList& arguments) override
    {
        started.append({program, arguments});
        return failure;
    }

    QList<Start> started;
    std::optional<QString> failure;
};
