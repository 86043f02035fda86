// SPDX-License-Identifier: MIT
#pragma once

#include "platform/FrontmostWindows.h"
#include "platform/x11/X11Connection.h"
#include "platform/x11/X11NoticeWait.h"

#include <QString>

// The active window as the window manager publishes it (EWMH _NET_ACTIVE_WINDOW on the
// root window), described by its _NET_WM_PID, WM_CLASS and _NET_WM_NAME, and activated
// again with a _NET_ACTIVE_WINDOW request. The clock and the connection are borrowed and must
// outlive the object. Main thread only.
class EwmhFrontmostWindows final : public FrontmostWindows {
public:
    EwmhFrontmostWindows(Clock& clock, X11Connection& x11);
    std::optional<TargetApplication> frontmost() override;
    bool isActive(const TargetApplication& application) override;
    void activate(const TargetApplication& application) override;
    // Woken by the PropertyNotify of _NET_ACTIVE_WINDOW on the root window.
    QCoro::Task<> activeWindowChanged(std::chrono::milliseconds timeout) override;

private:
    uint32_t activeWindow();
    bool exists(uint32_t window);
    // The bytes of a window property, empty when it is missing or the window is gone.
    QByteArray property(uint32_t window, uint32_t name, uint32_t type);

    X11Connection& m_x11;
    X11NoticeWait m_rootChanges;
};
