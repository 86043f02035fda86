// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

struct xcb_connection_t;

// Which of the X modifiers Mod1 to Mod5 the keyboard's Super, Alt, Num Lock and Scroll Lock
// keys set. The keymap decides that (Num Lock is Mod2 on most keymaps, Scroll Lock usually is
// no modifier at all), so it is read from the server's modifier mapping, never assumed. A
// mask of 0 means the keyboard has no such modifier.
struct X11ModifierMasks {
    uint16_t super = 0;
    uint16_t alt = 0;
    uint16_t numLock = 0;
    uint16_t scrollLock = 0;

    // The core keyboard mapping: keysymsPerKeycode keysyms for each keycode from minKeycode
    // on, 0 where a level has none.
    struct KeyboardMapping {
        uint8_t minKeycode = 8;
        uint8_t keysymsPerKeycode = 0;
        std::span<const uint32_t> keysyms;
    };

    // modifierKeycodes is the modifier mapping: eight rows (Shift, Lock, Control, Mod1 to
    // Mod5) of keycodesPerModifier keycodes each, 0 for an empty place.
    static X11ModifierMasks fromMapping(std::span<const uint8_t> modifierKeycodes,
                                        uint8_t keycodesPerModifier,
                                        const KeyboardMapping& keyboard);
    // Reads both mappings from the server; all masks 0 when it cannot.
    static X11ModifierMasks query(xcb_connection_t* connection);

    // The X modifiers for a mask of the stored model (Command 0x100, Shift 0x200, Option
    // 0x800, Control 0x1000); nothing when Command or Option is asked for and this keyboard
    // has no modifier for it.
    std::optional<uint16_t> forCarbon(uint32_t carbonModifiers) const;
    // The modifiers a lock key adds while it is on: Caps Lock's, and Num Lock's and Scroll
    // Lock's where they have one. A press is matched with these taken away.
    uint16_t lockMask() const;
    // The modifiers with every combination of the lock keys that may be on while they are
    // held, the plain modifiers first. A lock bit the modifiers use themselves is left out.
    std::vector<uint16_t> withLockCombinations(uint16_t modifiers) const;

    bool operator==(const X11ModifierMasks&) const = default;
};
