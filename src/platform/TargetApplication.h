// SPDX-License-Identifier: MIT
#pragma once

#include "platform/AccessibleSelection.h"

#include <QString>
#include <cstdint>
#include <optional>

// The application whose text was selected, as the desktop described its focused window
// when the capture began. Enough to bring that window back to the front for the paste and
// to tell later whether it has gone away.
struct TargetApplication {
    // The X11 window that had the input focus (_NET_ACTIVE_WINDOW); 0 when unknown.
    uint32_t windowID = 0;
    // The process that owns the window (_NET_WM_PID); 0 when the window did not say.
    int64_t pid = 0;
    // The class part of WM_CLASS ("Mousepad", "kitty"); terminals are told apart by it,
    // because they copy and paste with Ctrl+Shift.
    QString wmClass;
    // The window title (_NET_WM_NAME), for log lines only.
    QString title;
    // The element the selection was read from, when it was read through the
    // accessibility service: Replace writes the result straight into it when it can.
    std::optional<AccessibleSelection> accessible;

    bool operator==(const TargetApplication&) const = default;
};
