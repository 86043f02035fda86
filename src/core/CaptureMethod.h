// SPDX-License-Identifier: MIT
#pragma once

#include "core/RawValue.h"

#include <array>

// How the current selection was read: through accessibility, or by a synthetic copy.
enum class CaptureMethod { ax, clipboard };

constexpr std::array<CaptureMethod, 2> allCases(CasesOf<CaptureMethod>)
{
    return {CaptureMethod::ax, CaptureMethod::clipboard};
}

inline QString rawValue(CaptureMethod method)
{
    return method == CaptureMethod::ax ? QStringLiteral("ax") : QStringLiteral("clipboard");
}
