// SPDX-License-Identifier: MIT
#pragma once

#include "platform/RunningApplications.h"

#include <QList>

// Every application runs until the test lets it quit.
class FakeRunningApplications final : public RunningApplications {
public:
    bool isTerminated(const TargetApplication& application) const override
    {
        return m_quit.contains(application);
    }

    void quit(const TargetApplication& application) { m_quit.append(application); }

private:
    QList<TargetApplication> m_quit;
};
