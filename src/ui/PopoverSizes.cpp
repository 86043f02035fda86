// SPDX-License-Identifier: MIT
#include "ui/PopoverSizes.h"

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
    // Steps of two pixels and more, so that each size looks different from the next.
    case InputTextSize::small:
        return 12;
    case InputTextSize::standard:
        return 14;
    case InputTextSize::large:
        return 17;
    }
    return 14;
}

} // namespace PopoverSizes
