// SPDX-License-Identifier: MIT
#pragma once

#include "platform/TargetApplication.h"

// Answers questions about the applications whose text Quillmark captured. Main thread only.
class RunningApplications {
public:
    RunningApplications() = default;
    RunningApplications(const RunningApplications&) = delete;
    RunningApplications& operator=(const RunningApplications&) = delete;
    virtual ~RunningApplications() = default;

    // True when the application's window or process is gone; false while it lives or when
    // it cannot tell.
    virtual bool isTerminated(const TargetApplication& application) const = 0;
};
