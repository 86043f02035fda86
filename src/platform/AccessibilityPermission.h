// SPDX-License-Identifier: MIT
#pragma once

#include <QStringList>

// Whether Quillmark may read other applications' selections and send them key presses,
// and how the user is helped to allow it. Main thread only.
class AccessibilityPermission {
public:
    AccessibilityPermission() = default;
    AccessibilityPermission(const AccessibilityPermission&) = delete;
    AccessibilityPermission& operator=(const AccessibilityPermission&) = delete;
    virtual ~AccessibilityPermission() = default;

    // Answers at once and never prompts; false when access is missing or cannot be checked.
    virtual bool isTrusted() const = 0;
    // What the desktop lacks, by the names its own tools use ("XTEST", "XInputExtension");
    // empty when nothing is missing or the adapter cannot tell.
    virtual QStringList missingRequirements() const { return {}; }
    // Raises the desktop's prompt the first time in this process only, and logs that it
    // did; answers whether access is granted now (false when it cannot be checked). For
    // the capture path, which runs on every trigger.
    virtual bool promptOncePerLaunch() = 0;
    // Raises the desktop's prompt when access is missing, every time it is called; neither
    // logs nor uses up the once-per-launch prompt. For the user's own "grant" commands.
    virtual bool promptIfNeeded() = 0;
    // Opens the desktop's accessibility settings; nothing when there are none to open.
    virtual void openSystemSettings() = 0;
};
