// SPDX-License-Identifier: MIT
#include "ui/PopoverSizes.h"

#include <algorithm>

namespace PopoverSizes {

int panelWidth(PanelWidth width)
{
    switch (width) {
    case PanelWidth::narrow:
        return 420;
    case PanelWidth::standard:
        return 490;
    case PanelWidth::wide:
        return 560;
    }
    return 490;
}

int effectiveWidth(PanelWidth width, PopoverLayout layout, int activeActionCount)
{
    const int chosen = panelWidth(width);
    if (layout == PopoverLayout::chips && activeActionCount >= 3)
        return std::max(chosen, panelWidth(PanelWidth::standard));
    return chosen;
}

int editorMinimumHeight(InputHeight height)
{
    switch (height) {
    case InputHeight::compact:
        return 56;
    case InputHeight::standard:
        return 88;
    case InputHeight::large:
        return 140;
    }
    return 88;
}

int editorFontSize(InputTextSize size)
{
    switch (size) {
    case InputTextSize::small:
        return 13;
    case InputTextSize::standard:
        return 14;
    case InputTextSize::large:
        return 15;
    }
    return 14;
}

} // namespace PopoverSizes
