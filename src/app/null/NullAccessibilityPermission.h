// SPDX-License-Identifier: MIT
#pragma once

#include "platform/AccessibilityPermission.h"

// Nothing to grant. The desktop asks for no permission here, and the null selection
// reader finds nothing anyway, so the panel says "select text first" rather than asking
// the user for a grant that does not exist.
class NullAccessibilityPermission final : public AccessibilityPermission {
public:
    bool isTrusted() const override { return true; }
    bool promptOncePerLaunch() override { return true; }
    bool promptIfNeeded() override { return true; }
    void openSystemSettings() override {}
};
