// SPDX-License-Identifier: MIT
#pragma once

#include "core/RawValue.h"

#include <array>

// The tone of a Fix Grammar rewrite.
enum class Style { business, friendly, casual, formal, concise };

constexpr std::array<Style, 5> allCases(CasesOf<Style>)
{
    return {Style::business, Style::friendly, Style::casual, Style::formal, Style::concise};
}

QString rawValue(Style style);

// "Business", "Friendly", …: the raw value with a capital first letter.
QString displayTitle(Style style);
