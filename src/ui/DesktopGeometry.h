// SPDX-License-Identifier: MIT
#pragma once

#include "ui/PanelGeometry.h"

#include <QPoint>
#include <optional>

// What the panel needs to know about the desktop to place itself: where the pointer is,
// which screens there are and whether a point lies on one of Quillmark's own windows.
// A seam, so that placement can be tested without a display. Main thread only.
class DesktopGeometry {
public:
    DesktopGeometry() = default;
    DesktopGeometry(const DesktopGeometry&) = delete;
    DesktopGeometry& operator=(const DesktopGeometry&) = delete;
    virtual ~DesktopGeometry() = default;

    // The pointer in global coordinates; (0, 0) when it cannot be read.
    virtual QPoint pointerPosition() const = 0;
    // Every screen, in the desktop's order; empty without screens.
    virtual QList<PanelGeometry::ScreenArea> screens() const = 0;
    // The primary screen; nothing without screens.
    virtual std::optional<PanelGeometry::ScreenArea> primaryScreen() const = 0;
    // Whether a visible window of this application is the topmost window at the point.
    virtual bool isOwnWindowAt(QPoint point) const = 0;
};
