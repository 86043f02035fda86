// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <optional>
#include <span>

// The stored shortcut model names keys by the virtual key codes of an Apple ANSI keyboard
// (17 is the T position). X servers name them by keycode: the Linux evdev code plus 8 (T is
// 28). This table joins the two by physical position, so a stored shortcut means the same
// key on every layout. Each virtual key has at most one X keycode and back.
namespace KeyPositions {

struct Entry {
    uint32_t virtualKey;
    uint32_t xKeycode;
};

// Every known position, for code that needs to walk them all.
std::span<const Entry> all();

// Nothing for a virtual key that has no PC counterpart (Fn, the JIS input-mode keys).
std::optional<uint32_t> xKeycodeForVirtualKey(uint32_t virtualKey);
// Nothing for an X keycode that has no Apple counterpart (Print Screen, Pause, media keys).
std::optional<uint32_t> virtualKeyForXKeycode(uint32_t xKeycode);

} // namespace KeyPositions
