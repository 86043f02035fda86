// SPDX-License-Identifier: MIT
#pragma once

#include "platform/PointerLocator.h"

// For Wayland desktops where nothing can say where the pointer is (no connection of our own to
// the compositor): the panel then opens at the centre of the screen, never at the stale
// position XWayland reports.
class NullPointerLocator final : public PointerLocator {
public:
    QCoro::Task<std::optional<QPoint>> locate(std::chrono::milliseconds) override
    {
        co_return std::nullopt;
    }
};
