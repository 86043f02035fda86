// SPDX-License-Identifier: MIT
#include "ui/LanguageMenuButton.h"

#include "core/PopoverModel.h"
#include "ui/DarkMenu.h"
#include "ui/PopoverPalette.h"
#include "ui/PopoverTexts.h"

#include <QActionGroup>

namespace {

MenuButton::Look lookFor(const Language& language)
{
    return {QStringLiteral("globe"), 12,
            language.id.toUpper(),   11,
            QFont::DemiBold,         PopoverPalette::textSecondary(),
            QMargins(7, 5, 7, 5)};
}

} // namespace

LanguageMenuButton::LanguageMenuButton(PopoverModel& model, QWidget* parent)
    : MenuButton(lookFor(model.targetLanguage()), parent)
{
    const Language current = model.targetLanguage();
    setToolTip(PopoverTexts::languageTooltip(current));
    setAccessibleName(QStringLiteral("Language"));

    auto* menu = new DarkMenu(this);
    auto* group = new QActionGroup(menu);
    group->setExclusive(true);
    for (const Language& language : Language::all()) {
        QAction* action = menu->addAction(language.name);
        action->setCheckable(true);
        action->setChecked(language == current);
        group->addAction(action);
        connect(action, &QAction::triggered, this,
                [&model, language] { model.setTargetLanguage(language); });
    }
    setMenu(menu);
}
