// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>

// What a key position types with no modifiers in the active keyboard layout: the
// platform's KeyboardLayout port, passed to whatever names keys.
class KeyCharacters {
public:
    KeyCharacters() = default;
    KeyCharacters(const KeyCharacters&) = delete;
    KeyCharacters& operator=(const KeyCharacters&) = delete;
    virtual ~KeyCharacters() = default;

    // The text the key at this virtual key code (the stored position code, 17 is T) types
    // with no modifiers in the active layout group; nothing when the layout is unknown or
    // the key types nothing.
    virtual std::optional<QString> unmodifiedText(uint32_t virtualKeyCode) = 0;
};

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

    // Why a combination may not be used. A global shortcut needs at least two of Ctrl, Alt
    // and Super (Shift may come along): with fewer it would take a key from the application
    // in front or from the desktop.
    struct Rejection {
        enum class Kind {
            // A key alone or with Shift: typing, or the application's own keys (F5, Esc).
            typesText,
            // Ctrl or Ctrl+Shift with a key: Copy, Save, Quit… of every application.
            applicationShortcut,
            // Alt or Alt+Shift with a key: the menu mnemonics of every application.
            menuMnemonic,
            // Super or Super+Shift with a key: the desktop's own shortcuts.
            desktopShortcut,
            // One of the panel's own keys while it is open.
            reservedByPanel,
        };
        Kind kind;
        QString combination; // the combination as the user reads it, "Ctrl+T"
        QString key;         // its key alone, "T", for the suggestion
        // The explanation shown under the recorder.
        QString message() const;
        bool operator==(const Rejection&) const = default;
    };

    // Alt+Super+T (⌥⌘T in log lines).
    static HotkeyShortcut defaultShortcut() { return {}; }

    // Builds a shortcut from a key press: the key code and the held modifiers, given as the
    // device-independent flag mask (Control 0x40000, Option 0x80000, Shift 0x20000,
    // Command 0x100000). Caps Lock, Fn, keypad and help flags are dropped.
    static HotkeyShortcut fromEvent(uint32_t keyCode, uint64_t modifierFlags);

    // ⌃⌥⇧⌘ in that order for the bits present; "" for none. The form log lines use.
    static QString modifierSymbols(uint32_t carbonModifiers);
    // "Space", "↩", "F5", the layout's character upper-cased, or "Key 50". The form log
    // lines use.
    static QString keyName(uint32_t keyCode, KeyCharacters& layout);
    // "Ctrl", "Alt", "Shift", "Super" in that order for the bits present, as the desktop
    // writes them.
    static QStringList modifierLabels(uint32_t carbonModifiers);
    // The key as the desktop names it: "Space", "Enter", "Esc", "F5", the layout's
    // character upper-cased, or "Key 50".
    static QString keyLabel(uint32_t keyCode, KeyCharacters& layout);
    // "opt-cmd-t", "ctrl-opt-t", "opt-cmd-g", "ctrl-opt-space"; exact match.
    static std::optional<HotkeyShortcut> legacyPreset(const QString& id);

    // Modifier symbols followed by the key name, e.g. ⌥⌘T: the form of the log lines,
    // which scripts read. Never shown to the user.
    QString displayString(KeyCharacters& layout) const;
    // The combination as the desktop writes it, e.g. "Alt+Super+T": every text a user sees.
    QString label(KeyCharacters& layout) const;
    // The key as XKB names its keysym in a desktop's keybinding: "t", "space", "Return",
    // "F5", "comma", "U00F6" for a character without a plain name; nothing when the layout
    // types no single character on it. Modifiers are each desktop's own syntax.
    std::optional<QString> keysymName(KeyCharacters& layout) const;
    // The key whose keysym name this is, in any case: a named key, or the position that
    // types it in this layout; nothing when no key of the layout does.
    static std::optional<uint32_t> keyCodeForKeysymName(const QString& name, KeyCharacters& layout);
    // The rule that decides whether this combination may be registered.
    std::optional<Rejection> rejection(KeyCharacters& layout) const;

    bool operator==(const HotkeyShortcut&) const = default;
};
