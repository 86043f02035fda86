// SPDX-License-Identifier: MIT
#pragma once

#include "ui/DesktopGeometry.h"

#include <QRect>

// A desktop described by the test: screens in order, which of them is primary, where
// the pointer is and which areas belong to the application's own windows.
class FakeDesktopGeometry final : public DesktopGeometry {
public:
    QPoint pointerPosition() const override { return pointer; }
    QList<PanelGeometry::ScreenArea> screens() const override { return screenAreas; }
    std::optional<PanelGeometry::ScreenArea> primaryScreen() const override
    {
        if (screenAreas.isEmpty())
            return std::nullopt;
        return screenAreas.value(primaryIndex);
    }
    bool isOwnWindowAt(QPoint point) const override
    {
        for (const QRect& window : ownWindows) {
            if (window.contains(point))
                return true;
        }
        return false;
    }

    QPoint pointer;
    QList<PanelGeometry::ScreenArea> screenAreas;
    int primaryIndex = 0;
    QList<QRect> ownWindows;
};
