// SPDX-License-Identifier: MIT
#pragma once

#include "ui/DesktopGeometry.h"

// The desktop as Qt sees it: QCursor for the pointer, QScreen for the screens and their
// available areas (without the desktop's panels), the window stack for own windows.
class QtDesktopGeometry final : public DesktopGeometry {
public:
    QPoint pointerPosition() const override;
    QList<PanelGeometry::ScreenArea> screens() const override;
    std::optional<PanelGeometry::ScreenArea> primaryScreen() const override;
    bool isOwnWindowAt(QPoint point) const override;
};
