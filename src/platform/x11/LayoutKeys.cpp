// SPDX-License-Identifier: MIT
#include "platform/x11/LayoutKeys.h"

#include <xkbcommon/xkbcommon-keysyms.h>

namespace {

std::optional<xkb_keycode_t> keycodeInGroup(xkb_keymap* keymap, xkb_layout_index_t group,
                                            xkb_keysym_t keysym)
{
    const xkb_keycode_t first = xkb_keymap_min_keycode(keymap);
    const xkb_keycode_t last = xkb_keymap_max_keycode(keymap);
    for (xkb_keycode_t keycode = first; keycode <= last; ++keycode) {
        if (group >= xkb_keymap_num_layouts_for_key(keymap, keycode))
            continue;
        const xkb_keysym_t* keysyms = nullptr;
        const int count = xkb_keymap_key_get_syms_by_level(keymap, keycode, group, 0, &keysyms);
        for (int i = 0; i < count; ++i) {
            if (keysyms[i] == keysym)
                return keycode;
        }
    }
    return std::nullopt;
}

} // namespace

namespace LayoutKeys {

std::optional<xkb_keycode_t> keycodeFor(xkb_keymap* keymap, xkb_layout_index_t activeGroup,
                                        xkb_keysym_t keysym)
{
    const xkb_layout_index_t groups = xkb_keymap_num_layouts(keymap);
    if (activeGroup < groups) {
        if (auto keycode = keycodeInGroup(keymap, activeGroup, keysym))
            return keycode;
    }
    for (xkb_layout_index_t group = 0; group < groups; ++group) {
        if (group == activeGroup)
            continue;
        if (auto keycode = keycodeInGroup(keymap, group, keysym))
            return keycode;
    }
    return std::nullopt;
}

bool isModifier(xkb_keysym_t keysym)
{
    switch (keysym) {
    case XKB_KEY_Shift_L:
    case XKB_KEY_Shift_R:
    case XKB_KEY_Control_L:
    case XKB_KEY_Control_R:
    case XKB_KEY_Alt_L:
    case XKB_KEY_Alt_R:
    case XKB_KEY_Meta_L:
    case XKB_KEY_Meta_R:
    case XKB_KEY_Super_L:
    case XKB_KEY_Super_R:
    case XKB_KEY_Hyper_L:
    case XKB_KEY_Hyper_R:
    case XKB_KEY_ISO_Level3_Shift:
    case XKB_KEY_ISO_Level5_Shift:
    case XKB_KEY_Mode_switch:
        return true;
    default:
        return false;
    }
}

} // namespace LayoutKeys
