// SPDX-License-Identifier: MIT
#pragma once

#include "core/RawValue.h"
#include "core/TextAction.h"

#include <array>

// The actions the panel can show, in their fixed order (⌥1, ⌥2, ⌥3 follow it).
enum class PopoverAction { translate, fixGrammar, improvePrompt };
enum class PopoverLayout { chips, list };
enum class InputHeight { compact, standard, large };
enum class InputTextSize { small, standard, large };
enum class PanelWidth { narrow, standard, wide };

constexpr std::array<PopoverAction, 3> allCases(CasesOf<PopoverAction>)
{
    return {PopoverAction::translate, PopoverAction::fixGrammar, PopoverAction::improvePrompt};
}
constexpr std::array<PopoverLayout, 2> allCases(CasesOf<PopoverLayout>)
{
    return {PopoverLayout::chips, PopoverLayout::list};
}
constexpr std::array<InputHeight, 3> allCases(CasesOf<InputHeight>)
{
    return {InputHeight::compact, InputHeight::standard, InputHeight::large};
}
constexpr std::array<InputTextSize, 3> allCases(CasesOf<InputTextSize>)
{
    return {InputTextSize::small, InputTextSize::standard, InputTextSize::large};
}
constexpr std::array<PanelWidth, 3> allCases(CasesOf<PanelWidth>)
{
    return {PanelWidth::narrow, PanelWidth::standard, PanelWidth::wide};
}

QString rawValue(PopoverAction action);
QString rawValue(PopoverLayout layout);
QString rawValue(InputHeight height);
QString rawValue(InputTextSize size);
QString rawValue(PanelWidth width);

// The settings window's titles: "Translate", "Fix Grammar", "Improve AI Prompt";
// "Chips", "List"; the others are their raw values capitalised.
QString title(PopoverAction action);
QString title(PopoverLayout layout);
QString title(InputHeight height);
QString title(InputTextSize size);
QString title(PanelWidth width);

// The payload-free action a panel row runs.
TextAction textAction(PopoverAction action);
