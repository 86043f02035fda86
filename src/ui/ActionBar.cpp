// SPDX-License-Identifier: MIT
#include "ui/ActionBar.h"

#include "core/Callback.h"
#include "core/PopoverModel.h"
#include "ui/ActionRow.h"
#include "ui/ChipButton.h"
#include "ui/ChipFlow.h"
#include "ui/LanguageMenuButton.h"
#include "ui/PopoverTexts.h"
#include "ui/SplitChip.h"
#include "ui/SplitRow.h"
#include "ui/ToneMenu.h"

#include <QBoxLayout>

ActionBar::ActionBar(PopoverModel& model, const PopoverViewConfig& config, Preferences& preferences,
                     QWidget* parent)
    : QWidget(parent)
    , m_model(model)
    , m_preferences(preferences)
{
    if (config.layout == PopoverLayout::chips)
        buildChips(config);
    else
        buildList(config);
}

void ActionBar::run(PopoverAction action)
{
    invokeIfSet(m_model.onAction, textAction(action));
}

QWidget* ActionBar::languageMenu()
{
    return new LanguageMenuButton(m_model, this);
}

void ActionBar::buildChips(const PopoverViewConfig& config)
{
    auto* layout = new ChipFlow(this, 5);
    const Language language = m_model.targetLanguage();
    for (int index = 0; index < config.activeActions.size(); ++index) {
        const PopoverAction action = config.activeActions[index];
        const int number = index + 1;
        const ChipTone tone = number == 1 ? ChipTone::accent : ChipTone::plain;
        const QString icon = PopoverTexts::actionIcon(action);
        const QString title = ::title(action);
        QWidget* chip = nullptr;
        if (action == PopoverAction::fixGrammar) {
            auto* split =
                new SplitChip(icon, title, tone, new ToneMenu(m_model, m_preferences), this);
            split->primary().setToolTip(PopoverTexts::actionTooltip(action, number, language));
            connect(split, &SplitChip::clicked, this, [this, action] { run(action); });
            chip = split;
        } else {
            auto* button = new ChipButton(icon, title, tone, this);
            button->setToolTip(PopoverTexts::actionTooltip(action, number, language));
            connect(button, &ChipButton::clicked, this, [this, action] { run(action); });
            chip = button;
        }
        layout->addWidget(chip);
    }
    if (config.activeActions.contains(PopoverAction::translate))
        layout->setTrailingWidget(languageMenu());
}

void ActionBar::buildList(const PopoverViewConfig& config)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(1);
    const Language language = m_model.targetLanguage();
    const bool hasSplitRow = config.activeActions.contains(PopoverAction::fixGrammar);
    for (int index = 0; index < config.activeActions.size(); ++index) {
        const PopoverAction action = config.activeActions[index];
        const int number = index + 1;
        ActionRow::Look look{PopoverTexts::actionIcon(action),
                             PopoverTexts::rowTitle(action, language),
                             PopoverTexts::shortcut(number), number == 1, hasSplitRow};
        const QString tooltip = PopoverTexts::actionTooltip(action, number, language);
        if (action == PopoverAction::fixGrammar) {
            auto* split = new SplitRow(std::move(look), new ToneMenu(m_model, m_preferences), this);
            split->primary().setToolTip(tooltip);
            connect(split, &SplitRow::clicked, this, [this, action] { run(action); });
            layout->addWidget(split);
        } else {
            auto* row = new ActionRow(std::move(look), this);
            row->setToolTip(tooltip);
            connect(row, &ActionRow::clicked, this, [this, action] { run(action); });
            layout->addWidget(row);
        }
    }
    if (config.activeActions.contains(PopoverAction::translate)) {
        auto* languageRow = new QHBoxLayout;
        languageRow->setContentsMargins(0, 0, 0, 0);
        languageRow->addStretch(1);
        languageRow->addWidget(languageMenu());
        layout->addLayout(languageRow);
    }
}
