// SPDX-License-Identifier: MIT
#pragma once

#include <QKeyEvent>
#include <cstdint>
#include <optional>

// Turns Qt's key events into the stored shortcut model: the held modifiers as the
// device-independent flags HotkeyShortcut::fromEvent takes, and the key as its virtual key
// code by physical position, so a recorded shortcut names the same key the global grab does.
namespace RecorderKeys {

// Control 0x40000, Option (Alt) 0x80000, Shift 0x20000, Command (Super) 0x100000.
uint64_t modifierFlags(Qt::KeyboardModifiers modifiers);

// The flag a modifier key itself stands for: 0 for the lock keys, AltGr and Hyper, which
// are modifier keys that never take part in a shortcut; nothing for every other key.
std::optional<uint64_t> flagOfModifierKey(int qtKey);

// The modifiers held once the event has happened. Qt reports the state before the event
// for some modifier keys (Super on X11), so the key's own flag is added on a press and
// removed on a release.
uint64_t modifierFlagsAfter(const QKeyEvent& event);

// The virtual key code of the key's position; nothing for a key without one (media keys,
// or an event without a native scan code).
std::optional<uint32_t> virtualKey(const QKeyEvent& event);

} // namespace RecorderKeys
