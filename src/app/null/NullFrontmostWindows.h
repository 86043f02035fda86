// SPDX-License-Identifier: MIT
#pragma once

#include "platform/FrontmostWindows.h"

// A desktop that names no window to other clients (Wayland without XWayland): the capture
// then searches every application for the focused text, and Replace has nothing to
// activate (the panel never took the focus).
class NullFrontmostWindows final : public FrontmostWindows {
public:
    std::optional<TargetApplication> frontmost() override { return std::nullopt; }
    bool isActive(const TargetApplication& /*application*/) override { return false; }
    void activate(const TargetApplication& /*application*/) override {}
    QCoro::Task<> activeWindowChanged(std::chrono::milliseconds /*timeout*/) override { co_return; }
};
