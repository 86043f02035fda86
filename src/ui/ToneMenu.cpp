// SPDX-License-Identifier: MIT
#include "ui/ToneMenu.h"

#include "core/Callback.h"
#include "core/PopoverModel.h"
#include "core/Style.h"
#include "settings/UserDefaults.h"

namespace {

constexpr const char* lastStyleKey = "lastStyleID";

} // namespace

ToneMenu::ToneMenu(PopoverModel& model, QWidget* parent)
    : DarkMenu(parent)
{
    for (Style style : allCases(CasesOf<Style>{})) {
        QAction* action = addAction(displayTitle(style));
        connect(action, &QAction::triggered, this, [&model, style] {
            // The choice is stored before the action runs, so whatever the action reads
            // already sees it. A store that cannot be written costs only the memory.
            (void)UserDefaults::standard().set(QString::fromLatin1(lastStyleKey), rawValue(style));
            invokeIfSet(model.onAction, TextAction::rewrite(style));
        });
    }
}
