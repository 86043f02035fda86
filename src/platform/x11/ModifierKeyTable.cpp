// SPDX-License-Identifier: MIT
#include "platform/x11/ModifierKeyTable.h"

#include "platform/KeyEventSource.h"

#include <optional>

namespace {

// The modifier keysyms of the X protocol's keysym table.
std::optional<ModifierKeyTable::Role> roleOfKeysym(uint32_t keysym)
{
    using Role = ModifierKeyTable::Role;
    switch (keysym) {
    case 0xffe1: // Shift_L
    case 0xffe2: // Shift_R
        return Role::shift;
    case 0xffe3: // Control_L
    case 0xffe4: // Control_R
        return Role::control;
    case 0xffe5: // Caps_Lock
        return Role::capsLock;
    case 0xffe7: // Meta_L
    case 0xffe8: // Meta_R
    case 0xffe9: // Alt_L
    case 0xffea: // Alt_R
        return Role::option;
    case 0xffeb: // Super_L
    case 0xffec: // Super_R
        return Role::command;
    default:
        return std::nullopt;
    }
}

} // namespace

ModifierKeyTable ModifierKeyTable::fromKeyboardMapping(uint8_t minKeycode,
                                                       uint8_t keysymsPerKeycode,
                                                       std::span<const uint32_t> keysyms)
{
    ModifierKeyTable table;
    if (keysymsPerKeycode == 0)
        return table;
    for (size_t first = 0; first + keysymsPerKeycode <= keysyms.size();
         first += keysymsPerKeycode) {
        const size_t keycode = minKeycode + first / keysymsPerKeycode;
        if (keycode >= table.m_roles.size())
            break;
        // The key's first keysym decides (the Alt key says Alt_L there and Meta_L only with
        // Shift), so a key that merely reaches a modifier keysym at a higher level stays an
        // ordinary key.
        for (uint32_t keysym : keysyms.subspan(first, keysymsPerKeycode)) {
            if (keysym == 0)
                continue;
            table.m_roles[keycode] = roleOfKeysym(keysym).value_or(Role::none);
            break;
        }
    }
    return table;
}

uint64_t ModifierKeyTable::heldFlag(Role role)
{
    switch (role) {
    case Role::shift:
        return KeyEventSource::shiftFlag;
    case Role::control:
        return KeyEventSource::controlFlag;
    case Role::option:
        return KeyEventSource::optionFlag;
    case Role::command:
        return KeyEventSource::commandFlag;
    case Role::none:
    case Role::capsLock:
        return 0;
    }
    return 0;
}
