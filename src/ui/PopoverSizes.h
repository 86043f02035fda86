// SPDX-License-Identifier: MIT
#pragma once

#include "settings/PopoverEnums.h"

// The panel's sizes in logical pixels, as the preferences choose them.
namespace PopoverSizes {

inline constexpr int editorMaximumHeight = 260;
inline constexpr int outerPadding = 12;
inline constexpr int itemSpacing = 10;

int panelWidth(PanelWidth width);
int editorMinimumHeight(InputHeight height);
int editorFontSize(InputTextSize size);

} // namespace PopoverSizes
