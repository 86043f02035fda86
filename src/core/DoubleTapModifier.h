// SPDX-License-Identifier: MIT
#pragma once

#include "core/RawValue.h"

#include <array>
#include <cstdint>

// The modifier whose double tap opens the panel, or off.
enum class DoubleTapModifier { off, option, command, control, shift };

constexpr std::array<DoubleTapModifier, 5> allCases(CasesOf<DoubleTapModifier>)
{
    return {DoubleTapModifier::off, DoubleTapModifier::option, DoubleTapModifier::command,
            DoubleTapModifier::control, DoubleTapModifier::shift};
}

QString rawValue(DoubleTapModifier modifier);
// The device-independent modifier flag watched: Option 0x80000, Command 0x100000,
// Control 0x40000, Shift 0x20000; 0 for off.
uint64_t watchedFlag(DoubleTapModifier modifier);
// "off", "⌥", "⌘", "⌃", "⇧": the glyph used in log lines, never shown to the user.
QString symbol(DoubleTapModifier modifier);
// "Off", "Alt", "Super", "Ctrl", "Shift": the key as the desktop names it.
QString keyLabel(DoubleTapModifier modifier);
// "Off", "Alt — tap twice", …: the picker's text.
QString title(DoubleTapModifier modifier);
