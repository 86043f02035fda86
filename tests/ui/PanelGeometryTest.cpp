// SPDX-License-Identifier: MIT
#include "ui/PanelGeometry.h"

#include <gtest/gtest.h>

using PanelGeometry::Offset;
using PanelGeometry::ScreenArea;

namespace {

TEST(PanelGeometry, KeepsThePanelInsideTheAvailableArea)
{
    // A laptop screen with a top bar (28) and a dock (52), and an external screen to its
    // right without either.
    const QList<ScreenArea> screens = {{QRect(0, 0, 1920, 1080), QRect(0, 28, 1920, 1000)},
                                       {QRect(1920, 0, 1280, 1024), QRect(1920, 0, 1280, 1024)}};
    const struct {
        const char* name;
        QPointF point;
        QSizeF size;
        Offset offset;
        QPointF expected;
        int primary = 0; // index into the screens; -1: no screens at all
    } rows[] = {
        // clang-format off
        {"firstShowBesidePointer", {500, 400}, {400, 150}, Offset::besidePointer, {508, 408}},
        {"nearRightEdge", {1800, 400}, {400, 150}, Offset::besidePointer, {1516, 408}},
        {"nearBottomEdgeOpensAbove", {500, 1000}, {400, 150}, Offset::besidePointer, {508, 842}},
        {"underTheTopBar", {500, 10}, {400, 150}, Offset::besidePointer, {508, 32}},
        {"atTheLeftEdgeWithoutOffset", {0, 400}, {400, 150}, Offset::none, {4, 400}},
        {"secondaryScreen", {3100, 1000}, {400, 150}, Offset::besidePointer, {2796, 842}},
        {"fitsNeitherBelowNorAbove", {500, 600}, {400, 700}, Offset::besidePointer, {508, 324}},
        {"outsideEveryScreenUsesPrimary", {5000, 5000}, {400, 150}, Offset::besidePointer, {1516, 874}},
        {"outsideEveryScreenOtherPrimary", {5000, 5000}, {400, 150}, Offset::besidePointer, {2796, 870}, 1},
        {"widerThanAreaKeepsRightEdgeInside", {500, 400}, {2000, 150}, Offset::besidePointer, {-84, 408}},
        {"tallerThanAreaKeepsTopEdgeInside", {500, 400}, {400, 1200}, Offset::besidePointer, {508, 32}},
        {"noScreensUsesPointUnclamped", {5000, 5000}, {400, 150}, Offset::besidePointer, {5008, 5008}, -1},
        {"growingKeepsTopLeft", {508, 408}, {600, 300}, Offset::none, {508, 408}},
        {"growingPastRightMargin", {1500, 408}, {600, 300}, Offset::none, {1316, 408}},
        // clang-format on
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const auto area = row.primary < 0 ? PanelGeometry::availableAreaAt(row.point, {}, {})
                                          : PanelGeometry::availableAreaAt(row.point, screens,
                                                                           screens[row.primary]);
        EXPECT_EQ(PanelGeometry::clampedTopLeft(row.point, row.size, row.offset, area),
                  row.expected);
    }
}

} // namespace
