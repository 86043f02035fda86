// SPDX-License-Identifier: MIT
#include "ui/ToneMenu.h"

#include "core/Callback.h"
#include "core/PopoverModel.h"
#include "core/Style.h"
#include "settings/Preferences.h"

ToneMenu::ToneMenu(PopoverModel& model, Preferences& preferences, QWidget* parent)
    : DarkMenu(parent)
{
    for (Style style : allCases(CasesOf<Style>{})) {
        QAction* action = addAction(displayTitle(style));
        connect(action, &QAction::triggered, this, [&model, &preferences, style] {
            // The choice is stored before the action runs, so whatever the action reads
            // already sees it.
            preferences.rememberStyle(style);
            invokeIfSet(model.onAction, TextAction::rewrite(style));
        });
    }
}
