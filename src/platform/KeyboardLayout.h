// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <cstdint>
#include <optional>

// The active keyboard layout, asked what a key position types. Main thread only.
class KeyboardLayout {
public:
    KeyboardLayout() = default;
    KeyboardLayout(const KeyboardLayout&) = delete;
    KeyboardLayout& operator=(const KeyboardLayout&) = delete;
    virtual ~KeyboardLayout() = default;

    // The text the key at this virtual key code (the stored position code, 17 is T) types
    // with no modifiers in the active layout group; nothing when the layout is unknown or
    // the key types nothing.
    virtual std::optional<QString> unmodifiedText(uint32_t virtualKeyCode) = 0;
};
