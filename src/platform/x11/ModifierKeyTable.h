// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <cstdint>
#include <span>

// Which keys of the keyboard are the modifiers the double tap cares about, by keycode. The
// keymap decides that, so it is read from the keysyms the server gives each key, never
// assumed from keycodes: Alt (or Meta where a keymap has only that) is Option, Super is
// Command, and Control, Shift and Caps Lock are themselves. Both keys of a modifier count
// alike. Any other key, AltGr and Num Lock included, is an ordinary key.
class ModifierKeyTable {
public:
    enum class Role : uint8_t { none, shift, control, option, command, capsLock };

    // The core keyboard mapping: keysymsPerKeycode keysyms for each keycode from minKeycode
    // on, 0 where a level has none.
    static ModifierKeyTable fromKeyboardMapping(uint8_t minKeycode, uint8_t keysymsPerKeycode,
                                                std::span<const uint32_t> keysyms);

    Role role(uint8_t keycode) const { return m_roles[keycode]; }
    // The device-independent flag a held key of this role sets; 0 for none and Caps Lock,
    // whose flag follows the lock, not the key.
    static uint64_t heldFlag(Role role);

private:
    std::array<Role, 256> m_roles{};
};
