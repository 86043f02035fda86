// SPDX-License-Identifier: MIT
#include "ui/PopoverViewConfig.h"

#include "settings/Preferences.h"
#include "ui/PopoverSizes.h"

PopoverViewConfig PopoverViewConfig::fromPreferences()
{
    PopoverViewConfig config;
    config.activeActions = Preferences::activeActions();
    config.layout = Preferences::popoverLayout();
    config.width = PopoverSizes::panelWidth(Preferences::panelWidth());
    config.editorMinimumHeight = PopoverSizes::editorMinimumHeight(Preferences::inputHeight());
    config.editorFontSize = PopoverSizes::editorFontSize(Preferences::inputTextSize());
    return config;
}
