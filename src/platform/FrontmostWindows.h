// SPDX-License-Identifier: MIT
#pragma once

#include <chrono>
#include <qcoro/qcorotask.h>

#include "platform/TargetApplication.h"

#include <optional>

// The window that has the keyboard focus, as the window manager reports it, and the way
// back to it. Main thread only.
class FrontmostWindows {
public:
    FrontmostWindows() = default;
    FrontmostWindows(const FrontmostWindows&) = delete;
    FrontmostWindows& operator=(const FrontmostWindows&) = delete;
    virtual ~FrontmostWindows() = default;

    // The application whose window is active; nothing when the window manager names no
    // active window or there is no display.
    virtual std::optional<TargetApplication> frontmost() = 0;
    // Whether this application's window is the active one right now; false when it cannot
    // tell.
    virtual bool isActive(const TargetApplication& application) = 0;
    // Asks the window manager to activate the window and returns at once; whether it did
    // shows in isActive(). Nothing when there is no display or the window is unknown.
    virtual void activate(const TargetApplication& application) = 0;
    // Completes when the window manager announces another active window, or once `timeout`
    // has passed, whichever comes first; the caller then asks isActive() again.
    virtual QCoro::Task<> activeWindowChanged(std::chrono::milliseconds timeout) = 0;
};
