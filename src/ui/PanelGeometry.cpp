// SPDX-License-Identifier: MIT
#include "ui/PanelGeometry.h"

#include <algorithm>

namespace PanelGeometry {

namespace {

// Screens touch each other, so a screen holds its left and top edges but not the right
// and bottom ones, which belong to its neighbour.
bool holds(const QRect& frame, QPointF point)
{
    const QRectF area(frame);
    return point.x() >= area.left() && point.x() < area.right() && point.y() >= area.top() &&
           point.y() < area.bottom();
}

} // namespace

bool isUsableContentSize(QSizeF size)
{
    return size.width() > 50 && size.height() > 20;
}

std::optional<QRectF> availableAreaAt(QPointF point, const QList<ScreenArea>& screens,
                                      const std::optional<ScreenArea>& primary)
{
    for (const ScreenArea& screen : screens) {
        if (holds(screen.frame, point))
            return QRectF(screen.available);
    }
    if (primary)
        return QRectF(primary->available);
    return std::nullopt;
}

QPointF clampedTopLeft(QPointF point, QSizeF size, Offset offset, const std::optional<QRectF>& area)
{
    qreal x = point.x();
    qreal y = point.y();
    if (offset == Offset::besidePointer) {
        x += pointerOffset;
        y += pointerOffset;
        // A panel that does not fit below the pointer opens above it, if it fits there.
        const qreal above = point.y() - pointerOffset - size.height();
        if (area && y + size.height() > area->bottom() - screenMargin &&
            above >= area->top() + screenMargin)
            y = above;
    }
    if (offset == Offset::centred) {
        x -= size.width() / 2;
        y -= size.height() / 2;
    }
    if (!area)
        return {x, y};
    x = std::max(x, area->left() + screenMargin);
    x = std::min(x, area->right() - size.width() - screenMargin);
    y = std::min(y, area->bottom() - size.height() - screenMargin);
    y = std::max(y, area->top() + screenMargin);
    return {x, y};
}

} // namespace PanelGeometry
