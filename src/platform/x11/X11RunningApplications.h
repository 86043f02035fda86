// SPDX-License-Identifier: MIT
#pragma once

#include "platform/RunningApplications.h"
#include "platform/x11/X11Connection.h"

// An application has terminated when its window no longer exists on the X server, or,
// for one whose window was not known, when its process is gone. The connection is borrowed
// and must outlive the object. Main thread only.
class X11RunningApplications final : public RunningApplications {
public:
    explicit X11RunningApplications(X11Connection& x11)
        : m_x11(x11)
    {}
    bool isTerminated(const TargetApplication& application) const override;

private:
    X11Connection& m_x11;
};
