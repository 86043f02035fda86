// SPDX-License-Identifier: MIT
#pragma once

#include <optional>
#include <xkbcommon/xkbcommon.h>

// Finding keys by what they type in the keyboard layout that is live at the moment. The
// copy and paste chords name letters, not key positions: with Dvorak the C is where QWERTY
// has the I, and with a Russian group active no key types a "c" at all in that group, yet
// applications still take the key that types "c" in the Latin group for Ctrl+C.
namespace LayoutKeys {

// The key that types the keysym at the first shift level, looked for in the active group
// first and then in the other groups in order; nothing when no key types it.
std::optional<xkb_keycode_t> keycodeFor(xkb_keymap* keymap, xkb_layout_index_t activeGroup,
                                        xkb_keysym_t keysym);

// Whether the keysym belongs to a modifier key that changes what a chord means (Shift,
// Control, Alt, Meta, Super, Hyper and the third and fifth level shifts); lock keys do not.
bool isModifier(xkb_keysym_t keysym);

} // namespace LayoutKeys
