// SPDX-License-Identifier: MIT
#pragma once

#include "settings/PopoverEnums.h"

#include <QList>

class Preferences;

// What the preferences decide about the panel's look: which actions it offers, how it
// lays them out and how large it is. Read afresh each time the panel is shown, so a
// change made in the settings shows at the next opening.
struct PopoverViewConfig {
    QList<PopoverAction> activeActions;
    PopoverLayout layout = PopoverLayout::chips;
    int width = 490;
    int editorMinimumHeight = 88;
    int editorFontSize = 14;

    static PopoverViewConfig fromPreferences(const Preferences& preferences);

    bool operator==(const PopoverViewConfig&) const = default;
};
