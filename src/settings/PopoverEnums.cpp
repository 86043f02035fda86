// SPDX-License-Identifier: MIT
#include "settings/PopoverEnums.h"

namespace {

QString capitalised(const QString& raw)
{
    return raw.left(1).toUpper() + raw.mid(1);
}

} // namespace

QString rawValue(PopoverAction action)
{
    switch (action) {
    case PopoverAction::translate:
        return QStringLiteral("translate");
    case PopoverAction::fixGrammar:
        return QStringLiteral("fixGrammar");
    case PopoverAction::improvePrompt:
        return QStringLiteral("improvePrompt");
    }
    return {};
}

QString rawValue(PopoverLayout layout)
{
    switch (layout) {
    case PopoverLayout::chips:
        return QStringLiteral("chips");
    case PopoverLayout::list:
        return QStringLiteral("list");
    }
    return {};
}

QString rawValue(InputHeight height)
{
    switch (height) {
    case InputHeight::compact:
        return QStringLiteral("compact");
    case InputHeight::standard:
        return QStringLiteral("standard");
    case InputHeight::large:
        return QStringLiteral("large");
    }
    return {};
}

QString rawValue(InputTextSize size)
{
    switch (size) {
    case InputTextSize::small:
        return QStringLiteral("small");
    case InputTextSize::standard:
        return QStringLiteral("standard");
    case InputTextSize::large:
        return QStringLiteral("large");
    }
    return {};
}

QString rawValue(PanelWidth width)
{
    switch (width) {
    case PanelWidth::narrow:
        return QStringLiteral("narrow");
    case PanelWidth::standard:
        return QStringLiteral("standard");
    case PanelWidth::wide:
        return QStringLiteral("wide");
    }
    return {};
}

QString title(PopoverAction action)
{
    switch (action) {
    case PopoverAction::translate:
        return QStringLiteral("Translate");
    case PopoverAction::fixGrammar:
        return QStringLiteral("Fix Grammar");
    case PopoverAction::improvePrompt:
        return QStringLiteral("Improve AI Prompt");
    }
    return {};
}

QString title(PopoverLayout layout)
{
    return capitalised(rawValue(layout));
}

QString title(InputHeight height)
{
    return capitalised(rawValue(height));
}

QString title(InputTextSize size)
{
    return capitalised(rawValue(size));
}

QString title(PanelWidth width)
{
    return capitalised(rawValue(width));
}

TextAction textAction(PopoverAction action)
{
    switch (action) {
    case PopoverAction::translate:
        return TextAction::translate();
    case PopoverAction::fixGrammar:
        return TextAction::fixGrammar();
    case PopoverAction::improvePrompt:
        return TextAction::improvePrompt();
    }
    return TextAction::translate();
}
