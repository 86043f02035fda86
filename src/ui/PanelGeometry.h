// SPDX-License-Identifier: MIT
#pragma once

#include <QList>
#include <QPointF>
#include <QRect>
#include <QSizeF>
#include <optional>

// Where the floating panel goes on the desktop. Pure functions in Qt's global coordinates
// (logical pixels, origin at the top-left of the virtual desktop, y growing downwards).
namespace PanelGeometry {

// A screen's whole area and the part of it that windows may use (without panels and docks).
struct ScreenArea {
    QRect frame;
    QRect available;
};

// Where the point is for the panel: its top-left corner, beside the pointer, or its centre.
enum class Offset { none, besidePointer, centred };

inline constexpr QSizeF initialPanelSize{340, 200};
// The size of a panel shown before the view has reported any size.
inline constexpr QSizeF defaultContentSize{400, 150};
// How far the panel's top-left corner sits right of and below the pointer.
inline constexpr qreal pointerOffset = 8;
// The gap kept between the panel and each edge of the screen's available area.
inline constexpr qreal screenMargin = 4;

// Size reports of a view still being built can be zero or tiny; they never shrink the panel.
[[nodiscard]] bool isUsableContentSize(QSizeF size);

// The available area of the first screen whose frame holds the point, else of the primary
// screen; nothing when there is no screen at all.
std::optional<QRectF> availableAreaAt(QPointF point, const QList<ScreenArea>& screens,
                                      const std::optional<ScreenArea>& primary);

// The top-left corner for a panel of `size` near `point`: right of and below it with the
// offset (above it when it fits only there), then kept `screenMargin` inside `area`. The right and
// top limits are applied last, so a panel larger than the area keeps its top-left part on screen.
// Without an area the point is used as it is.
QPointF clampedTopLeft(QPointF point, QSizeF size, Offset offset,
                       const std::optional<QRectF>& area);

} // namespace PanelGeometry
