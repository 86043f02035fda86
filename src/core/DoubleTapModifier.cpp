// SPDX-License-Identifier: MIT
#include "core/DoubleTapModifier.h"

QString rawValue(DoubleTapModifier modifier)
{
    switch (modifier) {
    case DoubleTapModifier::off:
        return QStringLiteral("off");
    case DoubleTapModifier::option:
        return QStringLiteral("option");
    case DoubleTapModifier::command:
        return QStringLiteral("command");
    case DoubleTapModifier::control:
        return QStringLiteral("control");
    case DoubleTapModifier::shift:
        return QStringLiteral("shift");
    }
    return {};
}

uint64_t watchedFlag(DoubleTapModifier modifier)
{
    switch (modifier) {
    case DoubleTapModifier::off:
        return 0;
    case DoubleTapModifier::option:
        return 0x80000;
    case DoubleTapModifier::command:
        return 0x100000;
    case DoubleTapModifier::control:
        return 0x40000;
    case DoubleTapModifier::shift:
        return 0x20000;
    }
    return 0;
}

QString symbol(DoubleTapModifier modifier)
{
    switch (modifier) {
    case DoubleTapModifier::off:
        return QStringLiteral("off");
    case DoubleTapModifier::option:
        return QStringLiteral("⌥");
    case DoubleTapModifier::command:
        return QStringLiteral("⌘");
    case DoubleTapModifier::control:
        return QStringLiteral("⌃");
    case DoubleTapModifier::shift:
        return QStringLiteral("⇧");
    }
    return {};
}

QString keyLabel(DoubleTapModifier modifier)
{
    switch (modifier) {
    case DoubleTapModifier::off:
        return QStringLiteral("Off");
    case DoubleTapModifier::option:
        return QStringLiteral("Alt");
    case DoubleTapModifier::command:
        return QStringLiteral("Super");
    case DoubleTapModifier::control:
        return QStringLiteral("Ctrl");
    case DoubleTapModifier::shift:
        return QStringLiteral("Shift");
    }
    return {};
}

QString title(DoubleTapModifier modifier)
{
    if (modifier == DoubleTapModifier::off)
        return keyLabel(modifier);
    return keyLabel(modifier) + QStringLiteral(" — tap twice");
}
