// SPDX-License-Identifier: MIT
#pragma once

#include "platform/RunningApplications.h"

// Cannot tell, so every application is taken to be running.
class NullRunningApplications final : public RunningApplications {
public:
    bool isTerminated(const TargetApplication&) const override { return false; }
};
