// SPDX-License-Identifier: MIT
#pragma once

#include "ui/ActionRow.h"
#include "ui/ChipButton.h"
#include "ui/LanguageMenuButton.h"
#include "ui/MenuButton.h"

#include <QLabel>
#include <QMenu>
#include <QStringList>

// Reading a rendered view the way a person would: the words on its controls, in the
// order they were built (which is the order on screen).
namespace ViewProbe {

inline QList<ChipButton*> chips(const QWidget* root)
{
    return root->findChildren<ChipButton*>();
}

inline QList<ActionRow*> rows(const QWidget* root)
{
    return root->findChildren<ActionRow*>();
}

inline LanguageMenuButton* languageMenu(const QWidget* root)
{
    return root->findChild<LanguageMenuButton*>();
}

// Every word shown by the widget and its children: control titles, label texts and the
// language code, in build order.
inline QStringList texts(const QWidget* root)
{
    QStringList result;
    QList<const QWidget*> widgets{root};
    for (const QWidget* child : root->findChildren<QWidget*>())
        widgets.append(child);
    for (const QWidget* widget : widgets) {
        if (widget->isHidden())
            continue;
        if (auto* chip = qobject_cast<const ChipButton*>(widget))
            result.append(chip->text());
        else if (auto* row = qobject_cast<const ActionRow*>(widget))
            result.append(row->text());
        else if (auto* label = qobject_cast<const QLabel*>(widget);
                 label && !label->text().isEmpty())
            result.append(label->text());
        else if (auto* menu = qobject_cast<const MenuButton*>(widget);
                 menu && !menu->look().text.isEmpty())
            result.append(menu->look().text);
    }
    return result;
}

inline QStringList titles(const QList<ChipButton*>& chips)
{
    QStringList result;
    for (const ChipButton* chip : chips)
        result.append(chip->text());
    return result;
}

inline QStringList tooltips(const QList<ChipButton*>& chips)
{
    QStringList result;
    for (const ChipButton* chip : chips)
        result.append(chip->toolTip());
    return result;
}

inline QStringList menuTitles(const QMenu* menu)
{
    QStringList result;
    for (const QAction* action : menu->actions())
        result.append(action->text());
    return result;
}

} // namespace ViewProbe
