// SPDX-License-Identifier: MIT
#include "platform/x11/X11ModifierMasks.h"

#include "core/HotkeyShortcut.h"

#include <algorithm>
#include <cstdlib>
#include <initializer_list>
#include <memory>
#include <xcb/xcb.h>

namespace {

// Keysyms of the modifier keys, from the X protocol's keysym table.
constexpr uint32_t superL = 0xffeb;
constexpr uint32_t superR = 0xffec;
constexpr uint32_t altL = 0xffe9;
constexpr uint32_t altR = 0xffea;
constexpr uint32_t metaL = 0xffe7;
constexpr uint32_t metaR = 0xffe8;
constexpr uint32_t numLockKeysym = 0xff7f;
constexpr uint32_t scrollLockKeysym = 0xff14;

// Rows of the modifier mapping: Shift, Lock and Control come first, then Mod1 to Mod5.
constexpr int firstModRow = 3;
constexpr int rowCount = 8;

struct FreeDeleter {
    void operator()(void* pointer) const { std::free(pointer); }
};
template <class T> using XcbReply = std::unique_ptr<T, FreeDeleter>;

bool keyHasKeysym(const X11ModifierMasks::KeyboardMapping& keyboard, uint8_t keycode,
                  std::initializer_list<uint32_t> wanted)
{
    if (keycode < keyboard.minKeycode || keyboard.keysymsPerKeycode == 0)
        return false;
    const size_t first = size_t(keycode - keyboard.minKeycode) * keyboard.keysymsPerKeycode;
    if (first + keyboard.keysymsPerKeycode > keyboard.keysyms.size())
        return false;
    const auto levels = keyboard.keysyms.subspan(first, keyboard.keysymsPerKeycode);
    return std::any_of(levels.begin(), levels.end(), [&](uint32_t keysym) {
        return std::find(wanted.begin(), wanted.end(), keysym) != wanted.end();
    });
}

// The first of Mod1 to Mod5 that one of the keys with a wanted keysym sets, or 0.
uint16_t modifierHolding(std::span<const uint8_t> modifierKeycodes, uint8_t perModifier,
                         const X11ModifierMasks::KeyboardMapping& keyboard,
                         std::initializer_list<uint32_t> wanted)
{
    for (int row = firstModRow; row < rowCount; ++row) {
        const size_t first = size_t(row) * perModifier;
        if (first + perModifier > modifierKeycodes.size())
            break;
        for (uint8_t keycode : modifierKeycodes.subspan(first, perModifier)) {
            if (keycode != 0 && keyHasKeysym(keyboard, keycode, wanted))
                return uint16_t(1u << row);
        }
    }
    return 0;
}

} // namespace

X11ModifierMasks X11ModifierMasks::fromMapping(std::span<const uint8_t> modifierKeycodes,
                                               uint8_t keycodesPerModifier,
                                               const KeyboardMapping& keyboard)
{
    X11ModifierMasks masks;
    masks.super =
        modifierHolding(modifierKeycodes, keycodesPerModifier, keyboard, {superL, superR});
    masks.alt = modifierHolding(modifierKeycodes, keycodesPerModifier, keyboard, {altL, altR});
    // Some keymaps have only Meta keys where the Alt keys are.
    if (masks.alt == 0)
        masks.alt =
            modifierHolding(modifierKeycodes, keycodesPerModifier, keyboard, {metaL, metaR});
    masks.numLock =
        modifierHolding(modifierKeycodes, keycodesPerModifier, keyboard, {numLockKeysym});
    masks.scrollLock =
        modifierHolding(modifierKeycodes, keycodesPerModifier, keyboard, {scrollLockKeysym});
    return masks;
}

X11ModifierMasks X11ModifierMasks::query(xcb_connection_t* connection)
{
    XcbReply<xcb_get_modifier_mapping_reply_t> modifiers(
        xcb_get_modifier_mapping_reply(connection, xcb_get_modifier_mapping(connection), nullptr));
    const xcb_setup_t* setup = xcb_get_setup(connection);
    if (!modifiers || !setup)
        return {};
    XcbReply<xcb_get_keyboard_mapping_reply_t> keyboard(xcb_get_keyboard_mapping_reply(
        connection,
        xcb_get_keyboard_mapping(connection, setup->min_keycode,
                                 uint8_t(setup->max_keycode - setup->min_keycode + 1)),
        nullptr));
    if (!keyboard)
        return {};
    const std::span<const uint8_t> modifierKeycodes(
        xcb_get_modifier_mapping_keycodes(modifiers.get()),
        size_t(xcb_get_modifier_mapping_keycodes_length(modifiers.get())));
    const KeyboardMapping mapping{
        setup->min_keycode, keyboard->keysyms_per_keycode,
        std::span<const uint32_t>(xcb_get_keyboard_mapping_keysyms(keyboard.get()),
                                  size_t(xcb_get_keyboard_mapping_keysyms_length(keyboard.get())))};
    return fromMapping(modifierKeycodes, modifiers->keycodes_per_modifier, mapping);
}

std::optional<uint16_t> X11ModifierMasks::forCarbon(uint32_t carbonModifiers) const
{
    uint16_t mask = 0;
    if (carbonModifiers & HotkeyShortcut::commandBit) {
        if (super == 0)
            return std::nullopt;
        mask |= super;
    }
    if (carbonModifiers & HotkeyShortcut::optionBit) {
        if (alt == 0)
            return std::nullopt;
        mask |= alt;
    }
    if (carbonModifiers & HotkeyShortcut::controlBit)
        mask |= XCB_MOD_MASK_CONTROL;
    if (carbonModifiers & HotkeyShortcut::shiftBit)
        mask |= XCB_MOD_MASK_SHIFT;
    return mask;
}

uint16_t X11ModifierMasks::lockMask() const
{
    return uint16_t(XCB_MOD_MASK_LOCK | numLock | scrollLock);
}

std::vector<uint16_t> X11ModifierMasks::withLockCombinations(uint16_t modifiers) const
{
    std::vector<uint16_t> lockBits;
    for (uint16_t bit : {uint16_t(XCB_MOD_MASK_LOCK), numLock, scrollLock}) {
        if (bit != 0 && (bit & modifiers) == 0 &&
            std::find(lockBits.begin(), lockBits.end(), bit) == lockBits.end())
            lockBits.push_back(bit);
    }
    std::vector<uint16_t> combinations;
    for (unsigned subset = 0; subset < (1u << lockBits.size()); ++subset) {
        uint16_t combination = modifiers;
        for (size_t i = 0; i < lockBits.size(); ++i) {
            if (subset & (1u << i))
                combination |= lockBits[i];
        }
        combinations.push_back(combination);
    }
    return combinations;
}
