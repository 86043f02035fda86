// SPDX-License-Identifier: MIT
#include "ui/PopoverViewConfig.h"

#include "settings/Preferences.h"
#include "ui/PopoverSizes.h"

PopoverViewConfig PopoverViewConfig::fromPreferences(const Preferences& preferences)
{
    PopoverViewConfig config;
    config.activeActions = preferences.activeActions();
    config.layout = preferences.popoverLayout();
    config.width = PopoverSizes::panelWidth(preferences.panelWidth());
    config.editorMinimumHeight = PopoverSizes::editorMinimumHeight(preferences.inputHeight());
    config.editorFontSize = PopoverSizes::editorFontSize(preferences.inputTextSize());
    return config;
}
