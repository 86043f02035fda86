// SPDX-License-Identifier: MIT
#include "ui/PanelGeometry.h"

#include <gtest/gtest.h>

using PanelGeometry::Offset;
using PanelGeometry::ScreenArea;

namespace {

// A laptop screen with a top bar (28) and a dock (52), and an external screen to its
// right without either.
const ScreenArea laptop{QRect(0, 0, 1920, 1080), QRect(0, 28, 1920, 1000)};
const ScreenArea external{QRect(1920, 0, 1280, 1024), QRect(1920, 0, 1280, 1024)};

struct PlacementRow {
    const char* name;
    QPointF point;
    QSizeF size;
    Offset offset;
    QPointF expected;
    int primary = 0; // index into the screens; -1: no screens at all
};

class Placement : public ::testing::TestWithParam<PlacementRow> {};

TEST_P(Placement, KeepsThePanelInsideTheAvailableArea)
{
    const PlacementRow& row = GetParam();
    QList<ScreenArea> screens;
    std::optional<ScreenArea> primary;
    if (row.primary >= 0) {
        screens = {laptop, external};
        primary = screens[row.primary];
    }
    const auto area = PanelGeometry::availableAreaAt(row.point, screens, primary);
    EXPECT_EQ(PanelGeometry::clampedTopLeft(row.point, row.size, row.offset, area), row.expected);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(PanelGeometry, Placement, ::testing::Values(
    PlacementRow{"firstShowBesidePointer", {500, 400}, {400, 150}, Offset::besidePointer, {508, 408}},
    PlacementRow{"nearRightEdge", {1800, 400}, {400, 150}, Offset::besidePointer, {1516, 408}},
    PlacementRow{"nearBottomEdgeOpensAbove", {500, 1000}, {400, 150}, Offset::besidePointer, {508, 842}},
    PlacementRow{"bottomRightCorner", {1915, 1075}, {400, 150}, Offset::besidePointer, {1516, 874}},
    PlacementRow{"underTheTopBar", {500, 10}, {400, 150}, Offset::besidePointer, {508, 32}},
    PlacementRow{"atTheLeftEdgeWithoutOffset", {0, 400}, {400, 150}, Offset::none, {4, 400}},
    PlacementRow{"secondaryScreen", {3100, 1000}, {400, 150}, Offset::besidePointer, {2796, 842}},
    PlacementRow{"fitsNeitherBelowNorAbove", {500, 600}, {400, 700}, Offset::besidePointer, {508, 324}},
    PlacementRow{"leftEdgeOfSecondaryScreen", {1920, 500}, {400, 150}, Offset::none, {1924, 500}},
    PlacementRow{"outsideEveryScreenUsesPrimary", {5000, 5000}, {400, 150}, Offset::besidePointer, {1516, 874}},
    PlacementRow{"outsideEveryScreenOtherPrimary", {5000, 5000}, {400, 150}, Offset::besidePointer, {2796, 870}, 1},
    PlacementRow{"widerThanAreaKeepsRightEdgeInside", {500, 400}, {2000, 150}, Offset::besidePointer, {-84, 408}},
    PlacementRow{"tallerThanAreaKeepsTopEdgeInside", {500, 400}, {400, 1200}, Offset::besidePointer, {508, 32}},
    PlacementRow{"noScreensUsesPointUnclamped", {5000, 5000}, {400, 150}, Offset::besidePointer, {5008, 5008}, -1},
    PlacementRow{"growingKeepsTopLeft", {508, 408}, {600, 300}, Offset::none, {508, 408}},
    PlacementRow{"growingPastRightMargin", {1500, 408}, {600, 300}, Offset::none, {1316, 408}},
    PlacementRow{"growingPastBottomMargin", {508, 800}, {600, 300}, Offset::none, {508, 724}}
), [](const auto& info) { return std::string(info.param.name); });
// clang-format on

} // namespace
