// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <cstdint>
#include <optional>

// A global key combination: a virtual key code (the position code of the stored model,
// 17 is T, 49 is Space) and a modifier mask (Command 0x100, Shift 0x200, Option 0x800,
// Control 0x1000). On a PC keyboard Command is Super and Option is Alt.
struct HotkeyShortcut {
    uint32_t keyCode = 17;
    uint32_t carbonModifiers = 0x0900;

    static constexpr uint32_t commandBit = 0x0100;
    static constexpr uint32_t shiftBit = 0x0200;
    static constexpr uint32_t optionBit = 0x0800;
    static constexpr uint32_t controlBit = 0x1000;

    // Why a combination may not be used.
    struct Rejection {
        enum class Kind { needsControlOrOption, reservedByPanel };
        Kind kind;
        QString display; // the combination's display string, for reservedByPanel
        QString message() const;
        bool operator==(const Rejection&) const = default;
    };

    // ⌥⌘T.
    static HotkeyShortcut defaultShortcut() { return {}; }

    // Builds a shortcut from a key press: the key code and the held modifiers, given as the
    // device-independent flag mask (Control 0x40000, Option 0x80000, Shift 0x20000,
    // Command 0x100000). Caps Lock, Fn, keypad and help flags are dropped.
    static HotkeyShortcut fromEvent(uint32_t keyCode, uint64_t modifierFlags);

    // ⌃⌥⇧⌘ in that order for the bits present; "" for none.
    static QString modifierSymbols(uint32_t carbonModifiers);
    // "Space", "↩", "F5", the layout's character upper-cased, or "Key 50".
    static QString keyName(uint32_t keyCode);
    // "opt-cmd-t", "ctrl-opt-t", "opt-cmd-g", "ctrl-opt-space"; exact match.
    static std::optional<HotkeyShortcut> legacyPreset(const QString& id);

    // Modifier symbols followed by the key name, e.g. ⌥⌘T.
    QString displayString() const;
    // The rule that decides whether this combination may be registered.
    std::optional<Rejection> rejection() const;

    bool operator==(const HotkeyShortcut&) const = default;
};
