// SPDX-License-Identifier: MIT
#pragma once

#include <QPoint>
#include <chrono>
#include <optional>
#include <qcoro/qcorotask.h>

// Asks the desktop where the pointer is, for desktops where Qt's own idea of it can be stale
// (Qt running through XWayland sees the pointer only over X11 windows). Main thread only.
class PointerLocator {
public:
    PointerLocator() = default;
    PointerLocator(const PointerLocator&) = delete;
    PointerLocator& operator=(const PointerLocator&) = delete;
    virtual ~PointerLocator() = default;

    // The pointer in the global coordinates of Qt's screens; nothing when the desktop cannot
    // say or does not say within `bound`. Calls may overlap; they share one question.
    virtual QCoro::Task<std::optional<QPoint>> locate(std::chrono::milliseconds bound) = 0;
};
