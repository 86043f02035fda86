// SPDX-License-Identifier: MIT
#pragma once

#include "ui/DesktopGeometry.h"

#include <QRect>
#include <algorithm>

// A desktop described by the test: screens in order (the first is primary), where the
// pointer is and which areas belong to the application's own windows.
class FakeDesktopGeometry final : public DesktopGeometry {
public:
    QPoint pointerPosition() const override { return pointer; }
    QList<PanelGeometry::ScreenArea> screens() const override { return screenAreas; }
    std::optional<PanelGeometry::ScreenArea> primaryScreen() const override
    {
        return screenAreas.isEmpty() ? std::nullopt : std::optional(screenAreas.first());
    }
    bool isOwnWindowAt(QPoint point) const override
    {
        return std::ranges::any_of(ownWindows,
                                   [point](QRect window) { return window.contains(point); });
    }

    QPoint pointer;
    QList<PanelGeometry::ScreenArea> screenAreas;
    QList<QRect> ownWindows;
};
